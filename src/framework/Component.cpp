#include "framework/Component.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->Insert(this);
}

TComponent::~TComponent()
{
    destroying_ = true;
    while (!freeLinks_.empty()) {
        TComponent* other = freeLinks_.back();
        freeLinks_.pop_back();
        std::erase(other->freeLinks_, this);
        other->FreeNotified(this);
    }
    DestroyComponents();
    if (owner_)
        owner_->Remove(this);
}

void TComponent::DestroyComponents()
{
    destroying_ = true;
    while (!components_.empty()) {
        TComponent* last = components_.back();
        Remove(last);
        delete last;  // the owner frees what it owns
    }
}

TComponent* TComponent::FindComponent(const std::wstring& name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (SameText(component->Name(), name))
            return component;
    return nullptr;
}

void TComponent::ChangeOwner(TComponent* newOwner)
{
    if (newOwner == owner_)
        return;
    if (owner_)
        owner_->Remove(this);
    if (newOwner)
        newOwner->Insert(this);
}

void TComponent::FreeNotification(TComponent* client)
{
    if (!client || client == this || std::find(freeLinks_.begin(), freeLinks_.end(), client) != freeLinks_.end())
        return;
    freeLinks_.push_back(client);
    client->freeLinks_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* client)
{
    if (!client)
        return;
    std::erase(freeLinks_, client);
    std::erase(client->freeLinks_, this);
}

void TComponent::Insert(TComponent* component)
{
    components_.push_back(component);
    component->owner_ = this;
    ComponentInserted(component);
}

void TComponent::Remove(TComponent* component)
{
    const auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end())
        return;
    components_.erase(it);
    component->owner_ = nullptr;
    ComponentRemoved(component);
}

}  // namespace qrv

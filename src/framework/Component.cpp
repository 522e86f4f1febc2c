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

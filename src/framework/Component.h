#pragma once
// TComponent: the ownership tree. A component is freed by its owner; owned
// components are freed last-created first when the owner is destroyed, and a
// component destroyed earlier removes itself from its owner. Portable.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

class TComponent;
// The common event: the component that raised it is passed as Sender.
using TNotifyEvent = std::function<void(TComponent* Sender)>;

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    // The owned component of that name (ignoring case), or nullptr.
    TComponent* FindComponent(const std::wstring& name) const;

    const std::wstring& Name() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    intptr_t Tag = 0;

    // True while the destructor of this component runs.
    bool Destroying() const { return destroying_; }

    // Hands the component to another owner (nullptr: nobody frees it).
    void ChangeOwner(TComponent* newOwner);

    // Asks to be told when this component is freed: `client`'s
    // FreeNotified(this) is called from this destructor. The link goes both
    // ways, so a client freed first is forgotten without a call.
    void FreeNotification(TComponent* client);
    void RemoveFreeNotification(TComponent* client);

protected:
    // Called on the owner when a component is added or removed.
    virtual void ComponentInserted(TComponent* /*component*/) {}
    virtual void ComponentRemoved(TComponent* /*component*/) {}
    // A component this one asked about (FreeNotification) is being freed:
    // drop every pointer to it.
    virtual void FreeNotified(TComponent* /*component*/) {}
    // Frees all owned components; derived destructors that must outlive their
    // children's destruction call this first.
    void DestroyComponents();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeLinks_;  // both sides of FreeNotification
    std::wstring name_;
    bool destroying_ = false;
};

}  // namespace qrv

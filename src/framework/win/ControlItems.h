#pragma once
// The items of a list-like control (combo box, list box), kept on our side
// with their objects so a re-created window can be filled again. Derived
// classes mirror each change into their control's window.

#include "framework/StringList.h"

#include <string>
#include <vector>

namespace qrv {

class TControlItems : public TStrings {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::wstring& Get(int index) const override;
    void* GetObject(int index) const override;

protected:
    struct Item {
        std::wstring text;
        void* object = nullptr;
    };
    // Raises the list-index error for an index outside the items (the end
    // itself allowed for an insert).
    void CheckIndex(int index, bool allowEnd = false) const;
    // Stores the change and moves a chosen index the control keeps itself
    // while it has no window, so the choice stays on its item.
    void InsertItem(int index, const std::wstring& text, bool hasWindow, int& chosen);
    void DeleteItem(int index, bool hasWindow, int& chosen);

    std::vector<Item> items_;
};

}  // namespace qrv

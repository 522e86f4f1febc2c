#pragma once
// TIconList: an owned list of icons (an entry may be empty) with an update
// count; OnChange is raised after each change outside BeginUpdate/EndUpdate.

#include "framework/Component.h"
#include "framework/win/Handles.h"

#include <vector>

namespace qrv {

class TIconList {
public:
    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    int Count() const { return static_cast<int>(icons_.size()); }
    // The icon at index (nullptr for an empty entry).
    HICON Icons(int index) const { return icons_.at(static_cast<size_t>(index)).Get(); }
    // Keeps a copy; index == Count appends.
    void SetIcons(int index, HICON icon);
    // Each keeps a copy of the icon.
    int Add(HICON icon);
    int AddResource(HINSTANCE instance, const wchar_t* name);
    void Insert(int index, HICON icon);
    void InsertResource(int index, HINSTANCE instance, const wchar_t* name);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);
    // By the handle the list holds.
    int IndexOf(HICON icon) const;
    // Copies of another list's icons.
    void Assign(const TIconList& other);

    void BeginUpdate() { ++updates_; }
    void EndUpdate();
    TNotifyEvent OnChange;

private:
    void Changed();
    std::vector<TIconHandle> icons_;
    int updates_ = 0;
};

}  // namespace qrv

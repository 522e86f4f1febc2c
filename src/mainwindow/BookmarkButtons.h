#pragma once
// The layout of the bookmark toolbar: one button per bookmark that has a
// path, a separator after a button where the bookmark list holds an empty
// entry (a group break). Portable: the window measures texts and asks for
// drive types through the callbacks and applies the result.

#include <functional>
#include <string>
#include <vector>

namespace qrv {

constexpr int kBookmarkButtonCount = 16;

enum class TBookmarkImage { Folder, PathIcon };

struct TBookmarkButton {
    bool Visible = false;
    std::wstring Caption;
    int Width = 0;      // caption width + 26
    int Tag = -1;       // the bookmark's index in the list; -1 for an unused button
    std::wstring Hint;  // the path
    TBookmarkImage Image = TBookmarkImage::Folder;
    bool SeparatorAfter = false;  // the separator that follows this button
};

struct TBookmarkLayoutInput {
    std::vector<std::wstring> Paths;     // the bookmark list, empty entries included
    std::vector<std::wstring> Captions;  // one per path (missing ones are empty)
    bool Windows9x = false;              // always the folder image
    std::function<int(const std::wstring&)> TextWidth;
    std::function<bool(const std::wstring&)> IsFixedDrivePath;
};

// Always kBookmarkButtonCount buttons; the last one has no separator.
std::vector<TBookmarkButton> LayoutBookmarkButtons(const TBookmarkLayoutInput& In);

}  // namespace qrv

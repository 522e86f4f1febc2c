#include "mainwindow/BookmarkButtons.h"

namespace qrv {

namespace {

bool IsNetworkPath(const std::wstring& Path)
{
    return Path.starts_with(L"\\\\");
}

}  // namespace

std::vector<TBookmarkButton> LayoutBookmarkButtons(const TBookmarkLayoutInput& In)
{
    std::vector<TBookmarkButton> buttons(kBookmarkButtonCount);
    size_t next = 0;
    for (size_t i = 0; i < In.Paths.size() && next < buttons.size(); ++i) {
        const std::wstring& path = In.Paths[i];
        if (path.empty())
            continue;
        TBookmarkButton& button = buttons[next++];
        button.Visible = true;
        button.Caption = i < In.Captions.size() ? In.Captions[i] : std::wstring();
        button.Width = (In.TextWidth ? In.TextWidth(button.Caption) : 0) + 26;
        button.Tag = static_cast<int>(i);
        button.Hint = path;
        const bool ownIcon = !In.Windows9x && !IsNetworkPath(path) && In.IsFixedDrivePath && In.IsFixedDrivePath(path);
        button.Image = ownIcon ? TBookmarkImage::PathIcon : TBookmarkImage::Folder;
        button.SeparatorAfter = i + 1 < In.Paths.size() && In.Paths[i + 1].empty();
    }
    // The toolbar's last button has no separator after it.
    buttons.back().SeparatorAfter = false;
    return buttons;
}

}  // namespace qrv

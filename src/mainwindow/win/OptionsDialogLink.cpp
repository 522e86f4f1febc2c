#include "mainwindow/win/OptionsDialogLink.h"

#include "framework/ScopeExit.h"
#include "framework/win/PageControl.h"

#include <memory>

namespace qrv {

TOptionsDialogLink::TOptionsDialogLink(std::function<std::wstring()> SearchPath,
                                       std::function<std::wstring()> BrowseFilter)
    : searchPath_(std::move(SearchPath)), browseFilter_(std::move(BrowseFilter))
{}

bool TOptionsDialogLink::Run(TOptions& Options, int& Page)
{
    TOptionsFormCalls calls = Overrides;
    const std::wstring searchPath = searchPath_ ? searchPath_() : std::wstring();
    if (!calls.FindOnPath)
        calls.FindOnPath = [searchPath](const std::wstring& program) -> std::wstring {
            std::wstring found(MAX_PATH, L'\0');
            DWORD length = SearchPathW(searchPath.empty() ? nullptr : searchPath.c_str(), program.c_str(), nullptr,
                                       MAX_PATH, found.data(), nullptr);
            if (length >= MAX_PATH) {  // the buffer was short: length is the size needed
                found.resize(length);
                length = SearchPathW(searchPath.empty() ? nullptr : searchPath.c_str(), program.c_str(), nullptr,
                                     length, found.data(), nullptr);
            }
            found.resize(length < found.size() ? length : 0);
            return found;
        };
    if (calls.BrowseFilter.empty() && browseFilter_)
        calls.BrowseFilter = browseFilter_();

    auto form = std::make_unique<TFormOptions>(nullptr, Options, std::move(calls));
    if (OnlyPage >= 0) {
        // Every other page loses its tab: the dialog edits that page alone.
        form->SetActivePage(OnlyPage);
        for (int other = 0; other < form->Pages()->PageCount(); ++other)
            if (other != OnlyPage)
                form->Pages()->SetTabVisible(other, false);
    } else {
        form->SetActivePage(Page);
    }
    shown_ = form.get();
    const ScopeExit forget([this] { shown_ = nullptr; });
    const bool accepted = form->ShowModal() == mrOk;
    Page = form->ActivePage();
    return accepted;
}

}  // namespace qrv

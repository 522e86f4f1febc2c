#include "dialogs/SelOptRules.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

using S = TCompareSelect;
using C = TSelOptControl;

bool IsSelectControl(C Control)
{
    return Control >= C::SelectEqual && Control <= C::SelectMissing;
}

S SelectOf(C Control)
{
    return static_cast<S>(static_cast<int>(Control) - static_cast<int>(C::SelectEqual));
}

std::wstring_view WithoutTrailingSlash(std::wstring_view Path)
{
    // "C:\" is "C:", "C:\A\" is "C:\A".
    while (Path.size() > 1 && (Path.back() == L'\\' || Path.back() == L'/'))
        Path.remove_suffix(1);
    return Path;
}

}  // namespace

TSelOptLogic::TSelOptLogic(const TDirCompareOptions& Start) : rememberedName_(Start.ByName)
{
    state_.Options = Start;
    Apply(C::None);
}

void TSelOptLogic::Clicked(TSelOptControl Control, bool Checked)
{
    if (running_)
        return;
    running_ = true;
    TDirCompareOptions& o = state_.Options;
    switch (Control) {
    case C::Name:
        o.ByName = Checked;
        break;
    case C::Size:
        o.BySize = Checked;
        break;
    case C::Content:
        o.ByContent = Checked;
        break;
    case C::Duplicates:
        o.Duplicates = Checked;
        break;
    default:
        if (IsSelectControl(Control) && Checked)
            o.Select = SelectOf(Control);
        break;
    }
    Apply(Control);
    running_ = false;
}

void TSelOptLogic::Apply(TSelOptControl Clicked)
{
    TDirCompareOptions& o = state_.Options;
    if (Clicked == C::Duplicates) {
        if (o.Duplicates)
            rememberedName_ = o.ByName;
        else
            o.ByName = rememberedName_;
    }
    if (!o.ByName && o.Select != S::Equal)
        o.Select = S::Equal;

    state_.DuplicatesEnabled = o.Select == S::Equal;
    if (!state_.DuplicatesEnabled)
        o.Duplicates = false;
    else if (o.Duplicates) {
        if (Clicked == C::Duplicates) {
            o.ByName = false;
            o.BySize = true;
            o.ByContent = true;
        } else if (Clicked != C::None) {
            o.Duplicates = false;
        }
    }

    state_.DifferentEnabled = state_.OlderEnabled = state_.NewerEnabled = state_.MissingEnabled = o.ByName;

    const bool byTimeOrPresence = o.Select == S::Older || o.Select == S::Newer || o.Select == S::Missing;
    if (byTimeOrPresence) {
        o.BySize = false;
        o.ByName = true;
    }
    state_.SizeEnabled = state_.NameEnabled = !byTimeOrPresence;

    state_.ContentEnabled = o.BySize && (o.Select == S::Equal || o.Select == S::Different);
    if (!state_.ContentEnabled)
        o.ByContent = false;

    state_.OkEnabled = o.ByName || o.BySize;
}

bool SameFolderPath(std::wstring_view A, std::wstring_view B)
{
    return SameText(WithoutTrailingSlash(A), WithoutTrailingSlash(B));
}

std::optional<std::wstring> SelOptCloseError(const TDirCompareOptions& Options, bool CompareDirExists,
                                             bool CompareDirIsFocusedList)
{
    if (!CompareDirExists)
        return std::wstring(L"Das Vergleichsverzeichnis existiert nicht.");
    if (CompareDirIsFocusedList && !(Options.Select == TCompareSelect::Equal && Options.Duplicates))
        return std::wstring(L"Bitte wählen Sie ein vom primären Verzeichnis abweichendes Vergleichsverzeichnis aus.");
    return std::nullopt;
}

}  // namespace qrv

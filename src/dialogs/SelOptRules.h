#pragma once
// The options of the directory comparison and the rules of its dialog: which
// criteria and choices go together (the enabling logic, run after every
// click), and the checks before the dialog closes with OK. Portable.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// What the directory comparison selects.
enum class TCompareSelect : uint8_t { Equal, Different, Older, Newer, Missing };

struct TDirCompareOptions {
    bool ByName = true;
    bool BySize = true;
    bool ByContent = false;
    TCompareSelect Select = TCompareSelect::Equal;
    bool SubDirs = false;
    // With Equal: only files of other names with the same size and content.
    bool Duplicates = false;
};

// The controls of the dialog whose clicks run the enabling logic.
enum class TSelOptControl : uint8_t {
    None,
    Name,
    Size,
    Content,
    SelectEqual,
    SelectDifferent,
    SelectOlder,
    SelectNewer,
    SelectMissing,
    Duplicates
};

// The dialog's checks and choices and which of them can be used.
struct TSelOptState {
    TDirCompareOptions Options;
    bool NameEnabled = true;
    bool SizeEnabled = true;
    bool ContentEnabled = true;
    bool DifferentEnabled = false;
    bool OlderEnabled = false;
    bool NewerEnabled = false;
    bool MissingEnabled = false;
    bool DuplicatesEnabled = false;
    bool OkEnabled = true;
};

class TSelOptLogic {
public:
    // The state the dialog opens with; the name check's state is remembered.
    explicit TSelOptLogic(const TDirCompareOptions& Start);

    const TSelOptState& State() const { return state_; }
    // The user changed a control to the given state (a radio to checked);
    // the other controls follow. A call while the rules run is ignored.
    void Clicked(TSelOptControl Control, bool Checked = true);

private:
    void Apply(TSelOptControl Clicked);
    TSelOptState state_;
    bool rememberedName_;
    bool running_ = false;
};

// The same folder, ignoring case and trailing backslashes ("C:\" is "C:").
// Both paths are expected in full ("C:\A\B").
bool SameFolderPath(std::wstring_view A, std::wstring_view B);

// Why the dialog cannot close with OK (the text of the error box), or
// nothing when it can.
std::optional<std::wstring> SelOptCloseError(const TDirCompareOptions& Options, bool CompareDirExists,
                                             bool CompareDirIsFocusedList);

}  // namespace qrv

#pragma once
// The decisions of the file comparison that need no window: which two files
// "Dateien vergleichen" takes, what the external compare program is started
// with, and the text of each result. Portable.

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

// The selection the file choice looks at (full paths, in list order).
struct TFileChoiceInput {
    bool SecondWindowShown = false;
    std::vector<std::wstring> ActiveSelected;
    std::vector<std::wstring> OtherSelected;
    // The focused item of the active list, when it is one of the selected.
    int FocusedSelectedIndex = -1;
};

enum class TFileChoiceKind : uint8_t {
    None,       // nothing selected: nothing to do
    Pair,       // First and Second
    AskSecond,  // the second file is chosen in the open dialog, First is given
};

struct TFileChoice {
    TFileChoiceKind Kind = TFileChoiceKind::None;
    std::wstring First;
    std::wstring Second;
};

TFileChoice ChooseFilesToCompare(const TFileChoiceInput& Input);

// The open dialog's title for the file First is compared with.
std::wstring CompareDialogTitle(const std::wstring& DisplayName);

// The same file, ignoring case and the way the path is written ("/" for
// "\", repeated separators). Both are expected as full paths.
bool SameFilePath(const std::wstring& A, const std::wstring& B);

// One argument of the external compare program: the 8.3 short name, or the
// long name in quotes when the volume has none; a name with a blank is
// quoted either way.
std::wstring ExternalCompareArgument(const std::wstring& ShortName, const std::wstring& LongName);
std::wstring ExternalCompareParameters(const std::wstring& ShortA, const std::wstring& LongA,
                                       const std::wstring& ShortB, const std::wstring& LongB);
std::wstring ExternalCompareFailure(const std::wstring& Program, const std::wstring& ShellErrorText);

// The box a result of CompareFileContents gives.
struct TCompareMessage {
    std::wstring Text;
    bool Error = false;  // an error box; otherwise information
};
// SystemError is the system's text of the failure (results 3 to 6).
TCompareMessage CompareResultMessage(uint8_t Result, const std::wstring& First, const std::wstring& Second,
                                     const std::wstring& SystemError);
// The refusal to compare a file with itself.
std::wstring SelfCompareMessage();

// The help context of the file comparison's boxes, and of the summary.
constexpr int kFileCompareHelpContext = 50;
constexpr int kDirCompareHelpContext = 220;

}  // namespace qrv

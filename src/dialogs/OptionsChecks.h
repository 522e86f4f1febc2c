#pragma once
// What OK checks before the options dialog writes anything: the two
// external programs it names must exist, or the user is asked whether to
// correct the entry (a question that may be switched off). Portable: the
// file check and the question are passed in.

#include "dialogs/OptionsFields.h"

#include <functional>
#include <string>

namespace qrv {

// The fields OK may send the user back to.
enum class TOptionsFocus { None, CompareProgram, IrfanView };

struct TOptionsCheckCalls {
    std::function<bool(const std::wstring& name)> FileExists;
    // Shows the don't-show-again question and returns the modal result
    // (mrYes, mrNo, mrIgnore, or the default when it is switched off).
    std::function<int(const std::wstring& text, const std::wstring& ident)> Ask;
};

struct TOptionsCheckResult {
    TOptionsFocus Focus = TOptionsFocus::None;  // None: write the values and close
    TOptionsPage Page = opGeneral;              // the page of the field to correct
};

// The question for a missing file.
std::wstring MissingFileQuestion(const std::wstring& name);

// Checks the compare program, then the picture viewer; an empty field is
// never asked about. Yes (correct it) stops at that field.
TOptionsCheckResult CheckProgramPaths(const std::wstring& compareProgram, const std::wstring& irfanView,
                                      const TOptionsCheckCalls& calls);

}  // namespace qrv

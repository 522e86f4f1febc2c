#pragma once
// The cabinet reader's decisions that need no system: how a stored name
// becomes text, where a file to be copied goes (or that it is skipped or
// refused), and the DOS date, time and attributes as FDI hands them over.

#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

// FDI's attribute bit for names stored in UTF-8; others are ANSI.
constexpr uint16_t kCabNameIsUtf8 = 0x80;

// The stored name as text (still with the separators it was stored with).
std::wstring CabinetStoredName(std::string_view bytes, uint16_t attribs,
                               const std::function<std::wstring(std::string_view)>& ansiToText);
// As the list shows it: "/" becomes "\".
std::wstring CabinetListedName(const std::wstring& stored);

// Date in the high word, time in the low word; both unsigned 16-bit.
uint32_t PackCabinetDateTime(uint16_t date, uint16_t time);
// Read-only, hidden, system and archive only.
uint32_t CabinetFileAttributes(uint16_t attribs);

enum class TCabCopyDecision { Skip, Copy, Refuse };

struct TCabCopyPlan {
    TCabCopyDecision Decision = TCabCopyDecision::Skip;
    std::wstring Target;  // the full name of the file to create
};

// One copy notification while extracting: skipped when stopped or not
// asked for (FilesToExtract holds stored names; empty = all), refused when
// the name would leave TargetDir or name a device, else copied to
// TargetDir + the stored path (with paths) or TargetDir + the last level.
TCabCopyPlan PlanCabinetCopy(bool stop, const TStringList& filesToExtract, const std::wstring& storedName,
                             bool usePaths, const std::wstring& targetDir);

}  // namespace qrv

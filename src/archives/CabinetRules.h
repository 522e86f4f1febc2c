#pragma once
// The cabinet reader's decisions that need no system: how a stored name
// becomes text, where a file to be copied goes (or that it is skipped or
// refused), the DOS date, time and attributes as FDI hands them over, and
// how a run goes on to the next cabinet of a set.

#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrv {

// The processor FDI is told to decompress for; passed as -1, 0 or 1.
enum TCpuType { cptAuto, cpt80286, cpt80386 };
int FdiCpuType(TCpuType cpuType);

// What a copy notification's handler decides for the file.
enum TFileCopyAction { fcaAbort, fcaSkip, fcaCopy, fcaDefaultCopy };

// FDI's attribute bit for names stored in UTF-8; others are ANSI.
constexpr uint16_t kCabNameIsUtf8 = 0x80;

// The stored name as text (still with the separators it was stored with).
std::wstring CabinetStoredName(std::string_view bytes, uint16_t attribs,
                               const std::function<std::wstring(std::string_view)>& ansiToText);
// A name or path FDI hands over: the reader gives FDI UTF-8, but names of
// other cabinets of a set come from a cabinet's header in the ANSI page.
std::wstring CabinetFdiText(std::string_view bytes, const std::function<std::wstring(std::string_view)>& ansiToText);
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

// FDI asks for the next cabinet of a set; ErrorIndication is FDI's error
// code (0 the first time, else why the cabinet it tried would not do). The
// run goes on unless a handler aborted, or FDI failed and the path was not
// changed: it would only try the same cabinet again, and again.
bool CabinetNextGoesOn(int errorIndication, bool pathChanged, bool abort);
// The folder FDI looks for the next cabinet in, as the bytes of its buffer
// of Capacity bytes (terminator included): UTF-8 with a trailing backslash;
// nothing when it does not fit.
std::optional<std::string> CabinetPathBuffer(const std::wstring& path, size_t capacity);

}  // namespace qrv

#include "archives/CabinetRules.h"

#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

std::wstring CabinetStoredName(std::string_view bytes, uint16_t attribs,
                               const std::function<std::wstring(std::string_view)>& ansiToText)
{
    if ((attribs & kCabNameIsUtf8) || !ansiToText)
        return Utf8ToWide(bytes);
    return ansiToText(bytes);
}

int FdiCpuType(TCpuType cpuType)
{
    switch (cpuType) {
    case cpt80286:
        return 0;
    case cpt80386:
        return 1;
    case cptAuto:
        break;
    }
    return -1;
}

std::wstring CabinetFdiText(std::string_view bytes, const std::function<std::wstring(std::string_view)>& ansiToText)
{
    if (IsValidUtf8(bytes) || !ansiToText)
        return Utf8ToWide(bytes);
    return ansiToText(bytes);
}

std::wstring CabinetListedName(const std::wstring& stored)
{
    std::wstring listed = stored;
    std::replace(listed.begin(), listed.end(), L'/', L'\\');
    return listed;
}

uint32_t PackCabinetDateTime(uint16_t date, uint16_t time)
{
    return (static_cast<uint32_t>(date) << 16) | time;
}

uint32_t CabinetFileAttributes(uint16_t attribs)
{
    return attribs & 0x27u;
}

TCabCopyPlan PlanCabinetCopy(bool stop, const TStringList& filesToExtract, const std::wstring& storedName,
                             bool usePaths, const std::wstring& targetDir)
{
    TCabCopyPlan plan;
    if (stop || (filesToExtract.Count() > 0 && filesToExtract.IndexOf(storedName) < 0))
        return plan;
    const auto target = SafeExtractPath(targetDir, storedName, usePaths);
    if (!target) {
        plan.Decision = TCabCopyDecision::Refuse;
        return plan;
    }
    plan.Decision = TCabCopyDecision::Copy;
    plan.Target = *target;
    return plan;
}

bool CabinetNextGoesOn(int errorIndication, bool pathChanged, bool abort)
{
    return !abort && (errorIndication == 0 || pathChanged);
}

std::optional<std::string> CabinetPathBuffer(const std::wstring& path, size_t capacity)
{
    std::string bytes = WideToUtf8(path);
    if (!bytes.empty() && bytes.back() != '\\' && bytes.back() != '/')
        bytes += '\\';
    if (bytes.size() >= capacity)
        return std::nullopt;
    return bytes;
}

}  // namespace qrv

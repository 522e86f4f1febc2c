#include "panels/win/ShellDialogs.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"

namespace qrv {

bool HasShellVerb(const std::wstring& extension, const std::wstring& verb)
{
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    if (!registry.OpenKeyReadOnly(L"\\" + extension))
        return false;
    std::wstring type;
    try {
        type = registry.ReadString(L"");
    } catch (const Exception&) {
        TraceIgnoredException(L"reading a file type's open verb");
        return false;
    }
    if (type.empty())
        return false;
    return registry.KeyExists(L"\\" + type + L"\\shell\\" + verb);
}

}  // namespace qrv

// A second process for the clipboard tests: writes the clipboard's
// CF_UNICODETEXT as UTF-8 to its standard output; exit code 1 without text.

#include "common/win/FileClipboard.h"
#include "framework/SysUtils.h"

#include <cstdio>
#include <string>

int wmain()
{
    const std::optional<std::u16string> text = qrv::ReadClipboardText(nullptr);
    if (!text)
        return 1;
    const std::string utf8 = qrv::WideToUtf8(std::wstring(text->begin(), text->end()));
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return 0;
}

#include "BenchText.h"

#include "framework/Streams.h"

#include <windows.h>

#include <cstdio>

namespace qrv::bench {

void MakeLinesFile(const std::wstring& name, size_t bytes, const std::string& filler)
{
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
        TFileStream existing(name, fmOpenRead | fmShareDenyNone);
        if (static_cast<size_t>(existing.Size()) >= bytes)
            return;
    }
    constexpr size_t kLineChars = 78;
    std::string text;
    text.reserve(bytes + kLineChars + 2);
    for (size_t line = 0; text.size() < bytes; ++line) {
        char head[24];
        std::snprintf(head, sizeof head, "%09zu ", line);
        std::string row = head;
        while (row.size() < kLineChars)
            row += filler;
        row.resize(kLineChars);
        text += row;
        text += "\r\n";
    }
    TFileStream file(name, fmCreate);
    file.WriteBytes(text);
    file.Flush();
}

}  // namespace qrv::bench

#include "archives/ZipStoreSuffixes.h"

#include <array>

namespace qrv {

std::string StoreSuffixList(unsigned Suffixes, const std::u16string& ExtAddStoreSuffixes)
{
    static constexpr std::array<const char*, 18> kNames = {
        ".gif", ".png", ".z",   ".zip", ".zoo", ".arc", ".lzh",  ".arj", ".taz",
        ".tgz", ".lha", ".rar", ".ace", ".cab", ".gz",  ".gzip", ".jar", ".exe",
    };
    std::string list;
    auto add = [&list](const std::string& suffix) {
        if (!list.empty())
            list += ':';
        list += suffix;
    };
    for (size_t i = 0; i < kNames.size(); ++i)
        if (Suffixes & (1u << i))
            add(kNames[i]);
    if (Suffixes & assEXT) {
        std::string word;
        auto flush = [&] {
            if (!word.empty())
                add(word.front() == '.' ? word : "." + word);
            word.clear();
        };
        for (char16_t c : ExtAddStoreSuffixes) {
            if (c == u':' || c == u';' || c == u' ' || c == u',')
                flush();
            else if (c < 0x80)  // extensions the record can carry as they are
                word += char(c >= u'A' && c <= u'Z' ? c + 32 : c);
        }
        flush();
    }
    return list;
}

}  // namespace qrv

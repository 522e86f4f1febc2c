#pragma once
// The file name extensions the zip library stores without compressing,
// chosen by the zip component's AddStoreSuffixes set. Portable.

#include <string>

namespace qrv {

enum AddStoreExts : unsigned {
    assGIF = 1u << 0,
    assPNG = 1u << 1,
    assZ = 1u << 2,
    assZIP = 1u << 3,
    assZOO = 1u << 4,
    assARC = 1u << 5,
    assLZH = 1u << 6,
    assARJ = 1u << 7,
    assTAZ = 1u << 8,
    assTGZ = 1u << 9,
    assLHA = 1u << 10,
    assRAR = 1u << 11,
    assACE = 1u << 12,
    assCAB = 1u << 13,
    assGZ = 1u << 14,
    assGZIP = 1u << 15,
    assJAR = 1u << 16,
    assEXE = 1u << 17,
    assEXT = 1u << 18,
};
// The first 17: every packed format, but not programs.
constexpr unsigned kDefaultStoreSuffixes = (1u << 17) - 1;

// ".gif:.png:..." for the command record. With assEXT the extra suffixes
// (separated by ":", ";" or blanks, with or without the dot) are appended.
std::string StoreSuffixList(unsigned Suffixes, const std::u16string& ExtAddStoreSuffixes);

}  // namespace qrv

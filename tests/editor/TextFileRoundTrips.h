#pragma once
// Text files that the editor must save back byte for byte, shared by the
// portable tests and the tests under Windows' own code page.

#include "editor/EasyTextFile.h"

#include <string>
#include <vector>

namespace qrv::test {

using namespace std::string_literals;

struct RoundTrip {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
    bool unicode;
    TEasyLineBreak lineBreak;
};

inline std::vector<RoundTrip> RoundTrips()
{
    return {
        {"empty", "", {}, false, TEasyLineBreak::lbCRLF},
        {"one ANSI byte", "x", {u"x"}, false, TEasyLineBreak::lbCRLF},
        {"ANSI with 0x81 and a-umlaut", "\x81\xE4\r\nzwei\r\n", {u"\u0081ä", u"zwei"}, false, TEasyLineBreak::lbCRLF},
        {"LF", "eins\nzwei\n", {u"eins", u"zwei"}, false, TEasyLineBreak::lbLF},
        {"CR without final break", "eins\rzwei", {u"eins", u"zwei"}, false, TEasyLineBreak::lbCR},
        {"empty lines", "\n\n", {u"", u""}, false, TEasyLineBreak::lbLF},
        {"even-length ASCII stays ANSI", "abcd", {u"abcd"}, false, TEasyLineBreak::lbCRLF},
        {"odd size",
         "\xFF\xFE"
         "A"s,
         {u"\u00FF\u00FE"
          u"A"},
         false,
         TEasyLineBreak::lbCRLF},
        {"FF FE alone", "\xFF\xFE", {}, true, TEasyLineBreak::lbCRLF},
        {"FF FE",
         "\xFF\xFE"
         "A\0\r\0\n\0"s,
         {u"A"},
         true,
         TEasyLineBreak::lbCRLF},
        {"FF FE, no final break",
         "\xFF\xFE"
         "A\0\n\0\x41\x01"s,
         {u"A", u"\u0141"},
         true,
         TEasyLineBreak::lbLF},
        {"FE FF", "\xFE\xFF\0\xE4\0\r\0\n\x20\xAC\0\r\0\n"s, {u"ä", u"€"}, true, TEasyLineBreak::lbCRLF},
        {"unmarked UTF-16", "h\0i\0\r\0\n\0"s, {u"hi"}, true, TEasyLineBreak::lbCRLF},
        {"surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, {u"\U0001F600"}, true, TEasyLineBreak::lbCRLF},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x82\xAC\r\n\xF0\x9F\x98\x80!\r\n",
         {u"Größe €", u"\U0001F600!"},
         false,
         TEasyLineBreak::lbCRLF},
        {"UTF-8 mark before bytes that are no UTF-8 stays ANSI",
         "\xEF\xBB\xBF\xFF",
         {u"ï»¿ÿ"},
         false,
         TEasyLineBreak::lbCRLF},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", {}, false, TEasyLineBreak::lbCRLF},
        {"UTF-8 bytes without the mark stay ANSI", "\xC3\xA4", {u"Ã¤"}, false, TEasyLineBreak::lbCRLF},
    };
}

}  // namespace qrv::test

#include "viewers/TextFileKind.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

namespace {

// The extension of a file name with its dot; "" when it has none.
std::wstring_view Extension(std::wstring_view fileName)
{
    const size_t pos = fileName.find_last_of(L".\\/:");
    if (pos == std::wstring_view::npos || fileName[pos] != L'.')
        return {};
    return fileName.substr(pos);
}

// Tabs belong to ordinary text as much as line ends do.
bool IsTextByte(unsigned char b)
{
    return b == 9 || b == 10 || b == 13 || b == 26 || b >= 32;
}

}  // namespace

bool IsBinaryFileExtension(std::wstring_view fileName)
{
    // Four to six characters with the dot, found anywhere in the list: so
    // ".EX" and ".EXEC" are read, ".EXE" is not.
    const std::wstring ext = UpperCase(Extension(fileName).substr(0, 6));
    return ext.size() > 3 &&
           std::wstring_view(L".EXE.DLL.COM.OCX.VBX.BIN.OBJ.LNK").find(ext) != std::wstring_view::npos;
}

TTextFileKind ClassifyTextSample(std::string_view sample)
{
    sample = sample.substr(0, TextFileKindSampleSize);
    TTextFileKind kind;
    const size_t n = sample.size();
    auto startsWith = [&](unsigned char a, unsigned char b) {
        return static_cast<unsigned char>(sample[0]) == a && static_cast<unsigned char>(sample[1]) == b;
    };
    if (n > 2) {
        if (startsWith(0xFF, 0xFE) || startsWith(0xFE, 0xFF)) {
            kind.Text = kind.Unicode = true;
            return kind;
        }
        // A UTF-8 mark is text, whatever bytes follow it; its lines end in
        // LF only unless a CR LF is found.
        if (startsWith(0xEF, 0xBB) && static_cast<unsigned char>(sample[2]) == 0xBF) {
            kind.Text = kind.Utf8 = true;
            kind.LFOnly = sample.find("\r\n", 3) == std::string_view::npos;
            return kind;
        }
    }
    if (n > 6) {
        std::string head(sample.substr(0, 6));
        std::transform(head.begin(), head.end(), head.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
        kind.RichText = head == "{\\RTF1";
    }
    const bool hasCrLf = sample.find("\r\n") != std::string_view::npos;
    const bool hasNul = sample.find('\0') != std::string_view::npos;
    kind.Text = n <= 2 || kind.RichText || (hasCrLf && !hasNul);
    kind.LFOnly = kind.Text && !hasCrLf;
    if (!kind.Text) {
        kind.Text =
            std::all_of(sample.begin(), sample.end(), [](char c) { return IsTextByte(static_cast<unsigned char>(c)); });
        if (kind.Text)
            kind.LFOnly = sample.find('\n') != std::string_view::npos;
    }
    return kind;
}

TTextFileKind GetTextFileKind(const std::wstring& fileName)
{
    if (IsBinaryFileExtension(fileName))
        return {};
    std::string sample(TextFileKindSampleSize, '\0');
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
        sample.resize(file.Read(sample.data(), sample.size()));
    } catch (const EFOpenError& error) {
        throw EInOutError(error.Message());
    }
    return ClassifyTextSample(sample);
}

bool TextIsWritable(const TTextFileKind& kind, bool writeProtected)
{
    return kind.Text && !kind.Unicode && !kind.Utf8 && !writeProtected;
}

}  // namespace qrv

#pragma once
// The file-kind test of the text file view: from the extension and the first
// bytes of a file, whether it is text, rich text, UTF-16 or UTF-8 text, and
// whether its lines end in LF only. Portable.

#include <string>
#include <string_view>

namespace qrv {

struct TTextFileKind {
    bool Text = false;
    bool RichText = false;
    bool Unicode = false;
    bool LFOnly = false;
    // The file starts with the UTF-8 mark EF BB BF (Text is then set too).
    bool Utf8 = false;
    bool operator==(const TTextFileKind&) const = default;
};

// How many bytes of a file the test looks at.
constexpr size_t TextFileKindSampleSize = 1024;

// True for the program and object extensions that are never read.
bool IsBinaryFileExtension(std::wstring_view fileName);
// The test on the first bytes of a file (more than the sample size are ignored).
TTextFileKind ClassifyTextSample(std::string_view sample);
// Reads at most the sample size from the file (read-only, shared) and tests
// it; a binary extension gives "not text" without reading. Throws EInOutError
// when the file cannot be read.
TTextFileKind GetTextFileKind(const std::wstring& fileName);
// A text may be edited only when the test found single-byte text and the file
// is not write-protected: anything else saved as text would be corrupted.
bool TextIsWritable(const TTextFileKind& kind, bool writeProtected);

}  // namespace qrv

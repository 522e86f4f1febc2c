#pragma once
// TEasyStrings: the editor's document as a list of UTF-16 lines, with the
// document's text file format: UTF-16 (little-endian, with a byte-order mark)
// or the ANSI code page on load and save, line ends CR LF on save. Portable.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TStream;

// The line break the host detected and shows; saving always writes CR LF.
enum class TEasyLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2 };

class TEasyStrings {
public:
    int Count() const { return static_cast<int>(lines_.size()); }
    // Reads outside the list give "", writes outside it are ignored.
    std::wstring Get(int index) const;
    std::wstring operator[](int index) const { return Get(index); }
    void Put(int index, const std::wstring& s);
    // Valid for 0 <= index <= Count().
    void Insert(int index, const std::wstring& s);
    int Add(const std::wstring& s);
    void Delete(int index);
    void Clear();

    // Every line followed by CR LF.
    std::wstring Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    void SetText(std::wstring_view text);

    // Loading decides the flag (a byte-order mark FF FE or FE FF on a stream
    // of even size); saving writes UTF-16 with a mark when it is set.
    bool Unicode() const { return unicode_; }
    void SetUnicode(bool unicode) { unicode_ = unicode; }
    TEasyLineBreak LineBreak() const { return lineBreak_; }
    void SetLineBreak(TEasyLineBreak lineBreak) { lineBreak_ = lineBreak; }

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // Raises the framework's file errors; the list is unchanged then.
    void LoadFromFile(const std::wstring& fileName);
    void SaveToFile(const std::wstring& fileName) const;

    // Changes are reported after the outermost EndUpdate.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    std::function<void(TEasyStrings& sender)> OnChange;

private:
    void Changed();

    std::vector<std::wstring> lines_;
    bool unicode_ = false;
    TEasyLineBreak lineBreak_ = TEasyLineBreak::lbCRLF;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

}  // namespace qrv

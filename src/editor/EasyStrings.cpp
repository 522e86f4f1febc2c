#include "editor/EasyStrings.h"

#include "framework/Encoding.h"
#include "framework/Streams.h"

namespace qrv {

std::wstring TEasyStrings::Get(int index) const
{
    return index >= 0 && index < Count() ? lines_[index] : std::wstring();
}

void TEasyStrings::Put(int index, const std::wstring& s)
{
    if (index < 0 || index >= Count())
        return;
    lines_[index] = s;
    Changed();
}

void TEasyStrings::Insert(int index, const std::wstring& s)
{
    if (index < 0 || index > Count())
        return;
    lines_.insert(lines_.begin() + index, s);
    Changed();
}

int TEasyStrings::Add(const std::wstring& s)
{
    lines_.push_back(s);
    Changed();
    return Count() - 1;
}

void TEasyStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TEasyStrings::Clear()
{
    lines_.clear();
    Changed();
}

std::wstring TEasyStrings::Text() const
{
    size_t length = 0;
    for (const std::wstring& line : lines_)
        length += line.size() + 2;
    std::wstring text;
    text.reserve(length);
    for (const std::wstring& line : lines_) {
        text += line;
        text += L"\r\n";
    }
    return text;
}

void TEasyStrings::SetText(std::wstring_view text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == L'\r' && start < text.size() && text[start] == L'\n')
            ++start;
    }
    lines_ = std::move(lines);
    Changed();
}

void TEasyStrings::LoadFromStream(TStream& stream)
{
    const std::string bytes = stream.ReadAll();
    // UTF-16 needs a mark and whole code units.
    bool unicode = false;
    std::wstring text;
    if (!bytes.empty() && bytes.size() % 2 == 0) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            unicode = true;
            text = TEncoding::Unicode().GetString(std::string_view(bytes).substr(2));
        } else if (b0 == 0xFE && b1 == 0xFF) {
            unicode = true;
            text = TEncoding::BigEndianUnicode().GetString(std::string_view(bytes).substr(2));
        }
    }
    if (!unicode)
        text = TEncoding::Default().GetString(bytes);
    unicode_ = unicode;
    SetText(text);
}

void TEasyStrings::SaveToStream(TStream& stream) const
{
    if (unicode_) {
        stream.WriteBytes("\xFF\xFE");
        stream.WriteBytes(TEncoding::Unicode().GetBytes(Text()));
    } else {
        stream.WriteBytes(TEncoding::Default().GetBytes(Text()));
    }
}

void TEasyStrings::LoadFromFile(const std::wstring& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TEasyStrings::SaveToFile(const std::wstring& fileName) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
    file.Flush();
}

void TEasyStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        if (OnChange)
            OnChange(*this);
    }
}

void TEasyStrings::Changed()
{
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
        return;
    }
    if (OnChange)
        OnChange(*this);
}

}  // namespace qrv

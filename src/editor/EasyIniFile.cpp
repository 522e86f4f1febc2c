#include "editor/EasyIniFile.h"

#include "editor/EasyTextFile.h"
#include "framework/Encoding.h"
#include "framework/FilePath.h"

#include <filesystem>

namespace qrv {

TEasyIniFile::TEasyIniFile(std::wstring fileName) : fileName_(std::move(fileName))
{
    std::error_code error;
    if (!fileName_.empty() && std::filesystem::is_regular_file(FsPath(fileName_), error))
        lines_.LoadFromFile(fileName_);
}

std::wstring TEasyIniFile::ReadString(const std::wstring& name, const std::wstring& defaultValue) const
{
    const int index = lines_.IndexOfName(name);
    if (index < 0)
        return defaultValue;
    const std::wstring& line = lines_[index];
    return line.substr(line.find(L'=') + 1);
}

void TEasyIniFile::WriteString(const std::wstring& name, const std::wstring& value)
{
    const std::wstring line = name + L"=" + value;
    const int index = lines_.IndexOfName(name);
    if (index < 0)
        lines_.Add(line);
    else
        lines_.Put(index, line);
    modified_ = true;
}

void TEasyIniFile::Save()
{
    // The file's own encoding, unless it cannot hold what was written.
    const TEncoding* encoding = lines_.Encoding() ? lines_.Encoding() : &TEncoding::UTF8();
    std::string body;
    size_t bad = 0;
    if (!encoding->TryGetBytes(lines_.Text(), body, bad)) {
        encoding = &TEncoding::UTF8();
        body = encoding->GetBytes(lines_.Text());
    }
    ReplaceFileContents(fileName_, encoding->Preamble() + body);
    modified_ = false;
}

}  // namespace qrv

#include "framework/IniFiles.h"

#include "framework/Encoding.h"
#include "framework/FilePath.h"
#include "framework/Streams.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>

namespace qrv {

namespace {

// UTF-16 without a byte-order mark: text of mostly Latin letters has a zero
// byte in every other place. The first 256 code units decide: the zero bytes
// all on one side and on that side in at least a quarter of the units.
const TEncoding* UnmarkedUtf16(std::string_view bytes)
{
    const size_t units = std::min<size_t>(bytes.size() / 2, 256);
    if (units == 0 || bytes.size() % 2 != 0)
        return nullptr;
    size_t zeroLow = 0, zeroHigh = 0;
    for (size_t i = 0; i < units; ++i) {
        zeroLow += bytes[2 * i] == '\0';
        zeroHigh += bytes[2 * i + 1] == '\0';
    }
    if (zeroHigh * 4 >= units && zeroLow == 0)
        return &TEncoding::Unicode();
    if (zeroLow * 4 >= units && zeroHigh == 0)
        return &TEncoding::BigEndianUnicode();
    return nullptr;
}

}  // namespace

TMemIniFile::TMemIniFile(std::wstring fileName) : fileName_(std::move(fileName))
{
    Reload();
}

void TMemIniFile::Reload()
{
    sections_.clear();
    modified_ = false;
    std::error_code error;
    if (fileName_.empty() || !std::filesystem::is_regular_file(FsPath(fileName_), error))
        return;
    // Another writer replacing the file at this moment holds it for a few
    // milliseconds: a refused read is tried again for half a second.
    std::string bytes;
    for (int attempt = 0;; ++attempt) {
        try {
            bytes = ReadFileBytes(fileName_);
            break;
        } catch (const EFOpenError&) {
            if (attempt + 1 >= 20 || !std::filesystem::exists(FsPath(fileName_), error))
                throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
    size_t bomLength = 0;
    const TEncoding* unmarked = TEncoding::FromBOM(bytes, bomLength) ? nullptr : UnmarkedUtf16(bytes);
    Parse(unmarked ? unmarked->GetString(bytes) : TEncoding::DecodeText(bytes, TEncoding::Default()));
}

void TMemIniFile::Rename(std::wstring fileName, bool reload)
{
    fileName_ = std::move(fileName);
    if (reload)
        Reload();
}

void TMemIniFile::Parse(std::wstring_view text)
{
    TStringList lines;
    lines.SetText(text);
    SetStrings(lines);
    modified_ = false;
}

void TMemIniFile::SetStrings(const TStrings& lines)
{
    sections_.clear();
    TSection* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::wstring& original = lines[i];
        const std::wstring s = Trim(original);
        if (s.size() >= 2 && s.front() == L'[' && s.back() == L']') {
            // A section named twice is read as one, as lookups would see it.
            const std::wstring name = Trim(std::wstring_view(s).substr(1, s.size() - 2));
            current = FindSection(name);
            if (!current) {
                sections_.push_back(TSection{name, true, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) {
            sections_.push_back(TSection{L"", false, {}});
            current = &sections_.back();
        }
        TLine line;
        const size_t eq = s.find(L'=');
        if (!s.empty() && s[0] != L';' && s[0] != L'#' && eq != std::wstring::npos && eq > 0) {
            line.IsKey = true;
            line.Key = Trim(std::wstring_view(s).substr(0, eq));
            line.Value = Trim(std::wstring_view(s).substr(eq + 1));
            // A key read twice (a section named twice) keeps one line, with
            // the value read last.
            if (TLine* earlier = const_cast<TLine*>(FindKey(*current, line.Key))) {
                earlier->Value = std::move(line.Value);
                continue;
            }
        } else {
            line.Raw = original;
        }
        current->Lines.push_back(std::move(line));
    }
    modified_ = true;
}

void TMemIniFile::GetStrings(TStrings& lines) const
{
    lines.SetText(Serialize());
}

std::wstring TMemIniFile::Serialize() const
{
    std::wstring out;
    for (const TSection& section : sections_) {
        if (section.Header)
            out += L"[" + section.Name + L"]\r\n";
        for (const TLine& line : section.Lines) {
            out += line.IsKey ? line.Key + L"=" + line.Value : line.Raw;
            out += L"\r\n";
        }
    }
    return out;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::wstring_view name) const
{
    for (const TSection& section : sections_)
        if (section.Header && SameText(section.Name, name))
            return &section;
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::wstring_view name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

TMemIniFile::TSection& TMemIniFile::AddSection(std::wstring_view name)
{
    if (TSection* existing = FindSection(name))
        return *existing;
    // Keep a blank line between the last section and a new one.
    if (!sections_.empty()) {
        auto& previous = sections_.back().Lines;
        if (previous.empty() || previous.back().IsKey || !Trim(previous.back().Raw).empty())
            previous.push_back(TLine{});
    }
    sections_.push_back(TSection{std::wstring(name), true, {}});
    return sections_.back();
}

const TMemIniFile::TLine* TMemIniFile::FindKey(const TSection& section, std::wstring_view ident)
{
    for (const TLine& line : section.Lines)
        if (line.IsKey && SameText(line.Key, ident))
            return &line;
    return nullptr;
}

std::wstring TMemIniFile::ReadString(std::wstring_view section, std::wstring_view ident,
                                     const std::wstring& defaultValue) const
{
    const TSection* s = FindSection(section);
    const TLine* line = s ? FindKey(*s, ident) : nullptr;
    return line ? line->Value : defaultValue;
}

void TMemIniFile::WriteString(std::wstring_view section, std::wstring_view ident, const std::wstring& value)
{
    TSection& s = AddSection(section);
    if (TLine* line = const_cast<TLine*>(FindKey(s, ident))) {
        line->Value = value;
    } else {
        // New keys go after the section's last key, before trailing blank lines.
        auto position = s.Lines.end();
        while (position != s.Lines.begin() && !std::prev(position)->IsKey && Trim(std::prev(position)->Raw).empty())
            --position;
        s.Lines.insert(position, TLine{true, std::wstring(ident), value, L""});
    }
    modified_ = true;
}

int TMemIniFile::ReadInteger(std::wstring_view section, std::wstring_view ident, int defaultValue) const
{
    return StrToIntDef(ReadString(section, ident, L""), defaultValue);
}

void TMemIniFile::WriteInteger(std::wstring_view section, std::wstring_view ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

int64_t TMemIniFile::ReadInt64(std::wstring_view section, std::wstring_view ident, int64_t defaultValue) const
{
    int64_t value;
    return TryStrToInt64(ReadString(section, ident, L""), value) ? value : defaultValue;
}

void TMemIniFile::WriteInt64(std::wstring_view section, std::wstring_view ident, int64_t value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TMemIniFile::ReadBool(std::wstring_view section, std::wstring_view ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteBool(std::wstring_view section, std::wstring_view ident, bool value)
{
    WriteString(section, ident, value ? L"1" : L"0");
}

bool TMemIniFile::SectionExists(std::wstring_view section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::wstring_view section, std::wstring_view ident) const
{
    const TSection* s = FindSection(section);
    return s && FindKey(*s, ident);
}

void TMemIniFile::ReadSections(TStrings& sections) const
{
    sections.BeginUpdate();
    sections.Clear();
    for (const TSection& section : sections_)
        if (section.Header)
            sections.Add(section.Name);
    sections.EndUpdate();
}

void TMemIniFile::ReadSection(std::wstring_view section, TStrings& idents) const
{
    idents.BeginUpdate();
    idents.Clear();
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsKey)
                idents.Add(line.Key);
    idents.EndUpdate();
}

void TMemIniFile::ReadSectionValues(std::wstring_view section, TStrings& values) const
{
    values.BeginUpdate();
    values.Clear();
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsKey)
                values.Add(line.Key + L"=" + line.Value);
    values.EndUpdate();
}

void TMemIniFile::EraseSection(std::wstring_view section)
{
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        if (it->Header && SameText(it->Name, section)) {
            sections_.erase(it);
            modified_ = true;
            return;
        }
}

void TMemIniFile::DeleteKey(std::wstring_view section, std::wstring_view ident)
{
    TSection* s = FindSection(section);
    if (!s)
        return;
    for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it)
        if (it->IsKey && SameText(it->Key, ident)) {
            s->Lines.erase(it);
            modified_ = true;
            return;
        }
}

void TMemIniFile::Clear()
{
    sections_.clear();
    modified_ = true;
}

std::unique_ptr<TFileStream> CreateFreshTemporary(const std::wstring& fileName, std::wstring& temporary)
{
    // A name no other writer uses now: created new or not at all.
    for (int attempt = 0;; ++attempt) {
        temporary = TMemIniFile::TemporaryName(fileName, attempt);
        try {
            return std::make_unique<TFileStream>(temporary, fmCreateNew);
        } catch (const EFCreateError&) {
            if (attempt + 1 >= TMemIniFile::kTemporaryNames)
                throw;  // nothing was created
        }
    }
}

std::wstring TMemIniFile::TemporaryName(const std::wstring& fileName, int attempt)
{
    return fileName + L".~tmp" + (attempt > 0 ? std::to_wstring(attempt) : std::wstring());
}

void TMemIniFile::UpdateFile()
{
    // A read-only file is not replaced behind its owner's back (the system
    // would refuse the replace on Windows; elsewhere the rename would not).
    std::error_code error;
    const auto status = std::filesystem::status(FsPath(fileName_), error);
    if (!error && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        throw EFCreateError(L"Datei " + fileName_ + L" ist schreibgeschützt.");
    std::wstring temporary;
    std::unique_ptr<TFileStream> created = CreateFreshTemporary(fileName_, temporary);
    auto removeTemporary = [&] {
        std::error_code ignored;
        std::filesystem::remove(FsPath(temporary), ignored);
    };
    {
        const std::unique_ptr<TFileStream> file = std::move(created);
        try {
            file->WriteBytes(TEncoding::UTF8().Preamble());
            file->WriteBytes(TEncoding::UTF8().GetBytes(Serialize()));
            file->Flush();
        } catch (...) {
            removeTemporary();
            throw;
        }
    }
    try {
        ReplaceFileWith(temporary, fileName_);
    } catch (...) {
        removeTemporary();
        throw;
    }
    modified_ = false;
}

}  // namespace qrv

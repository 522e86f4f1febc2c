#include "viewers/win/FileView.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <richedit.h>

namespace qrv {

namespace {

std::wstring UpperExtension(const std::wstring& name)
{
    const size_t pos = name.find_last_of(L".\\/:");
    if (pos == std::wstring::npos || name[pos] != L'.')
        return {};
    return UpperCase(name.substr(pos));
}

// True when the extension (with its dot) is one of the dot-separated list.
bool ExtensionIn(const std::wstring& ext, std::wstring_view list)
{
    return !ext.empty() && list.find(ext) != std::wstring_view::npos;
}

std::string WideBytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// UTF-16 text after its byte-order mark, in either byte order.
std::wstring DecodeUtf16(const std::string& bytes)
{
    const bool bigEndian = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE;
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<wchar_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return text;
}

std::wstring DecodeCodePage(const std::string& bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::string EncodeCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

TTextFileView::TTextFileView(TComponent* owner) : TRichEdit(owner) {}

void TTextFileView::SetFileName(const std::wstring& name)
{
    if (name != fileName_)
        LoadFromFile(name);
}

bool TTextFileView::IsTextFile(const std::wstring& name)
{
    unicode_ = lfOnly_ = false;
    const TTextFileKind kind = GetTextFileKind(name);
    unicode_ = kind.Unicode;
    lfOnly_ = kind.LFOnly;
    return kind.Text;
}

bool TTextFileView::IsRichTextFile(const std::wstring& name)
{
    return GetTextFileKind(name).RichText;
}

void TTextFileView::LoadContent(const std::string& bytes, bool rich)
{
    // A stream the control refuses in one format is tried once in the other.
    const std::string text =
        WideBytes(unicode_ ? DecodeUtf16(bytes)
                           : DecodeCodePage(bytes, translation_ == TTextTranslation::ttlDOS8 ? CP_OEMCP : CP_ACP));
    try {
        if (rich)
            StreamIn(bytes, SF_RTF);
        else
            StreamIn(text, SF_TEXT | SF_UNICODE);
    } catch (const EOutOfResources&) {
        if (rich)
            StreamIn(text, SF_TEXT | SF_UNICODE);
        else
            StreamIn(bytes, SF_RTF);
    }
}

bool TTextFileView::LoadFromFile(const std::wstring& name)
{
    if (name == fileName_)
        return true;
    fileName_.clear();
    Lines().Clear();
    if (name.empty())
        return false;
    std::string bytes;
    try {
        TFileStream file(name, fmOpenRead | fmShareDenyNone);
        bytes = file.ReadAll();
    } catch (const EFOpenError&) {
        throw EFOpenError(L"Datei \"" + name + L"\" nicht vorhanden.");
    }
    const std::wstring ext = UpperExtension(name);
    SetPlainText(!ExtensionIn(ext, L".RTF.WRI.DOC"));
    SetReadOnly(false);
    // The kind test runs for every file, so the flags always describe this one;
    // a write-protected file is shown read-only whatever its kind.
    const bool text = IsTextFile(name);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    const bool writeProtected = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    const bool notText = writeProtected || !text;
    // ".RTF" is always read as rich text, without a code-page conversion.
    LoadContent(bytes, ext == L".RTF" || !PlainText());
    SetSelStart(0);
    SetModified(false);
    SetReadOnly(notText || unicode_);
    fileFormat_ = lfOnly_ ? TFileFormat::ffUNIX : TFileFormat::ffDOS;
    fileName_ = name;
    return true;
}

void TTextFileView::SaveToFile(const std::wstring& name)
{
    std::string bytes;
    if (UpperExtension(name) == L".RTF" || !PlainText()) {
        bytes = StreamOut(SF_RTF);
    } else {
        const std::string wide = StreamOut(SF_TEXT | SF_UNICODE);
        std::wstring text(wide.size() / sizeof(wchar_t), L'\0');
        wide.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
        UINT codePage = translation_ == TTextTranslation::ttlDOS8 ? CP_OEMCP : CP_ACP;
        if (fileFormat_ == TFileFormat::ffUNIX) {
            // LF only, and never an OEM translation.
            std::erase(text, L'\r');
            codePage = CP_ACP;
        }
        bytes = EncodeCodePage(text, codePage);
    }
    TFileStream file(name, fmCreate);
    file.WriteBytes(bytes);
    file.Flush();
}

}  // namespace qrv

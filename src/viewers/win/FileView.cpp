#include "viewers/win/FileView.h"

#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/WaitCursor.h"

namespace qrv {

namespace {

std::wstring UpperExtension(const std::wstring& name)
{
    const size_t pos = name.find_last_of(L".\\/:");
    if (pos == std::wstring::npos || name[pos] != L'.')
        return {};
    return UpperCase(name.substr(pos));
}

// The formats the control shows as rich text.
bool IsRichTextExtension(const std::wstring& ext)
{
    return ext == L".RTF" || ext == L".WRI" || ext == L".DOC";
}

}  // namespace

TTextFileView::TTextFileView(TComponent* owner) : TKyRichEdit(owner) {}

void TTextFileView::SetFileName(const std::wstring& name)
{
    if (name != fileName_)
        LoadFromFile(name);
}

void TTextFileView::SetTranslation(TTextTranslation translation)
{
    translation_ = translation;
    SetDefaultConverter(translation == TTextTranslation::ttlDOS8 ? ConversionClass<TOEMConversion>()
                                                                 : ConversionClass<TConversion>());
}

bool TTextFileView::DetectFileKind(const std::wstring& name)
{
    unicode_ = utf8_ = lfOnly_ = false;
    const TTextFileKind kind = GetTextFileKind(name);
    unicode_ = kind.Unicode;
    utf8_ = kind.Utf8;
    lfOnly_ = kind.LFOnly;
    return kind.Text;
}

bool TTextFileView::IsRichTextFile(const std::wstring& name)
{
    return GetTextFileKind(name).RichText;
}

bool TTextFileView::LoadFromFile(const std::wstring& name)
{
    return Load(name, nullptr);
}

bool TTextFileView::LoadFromFile(const std::wstring& name, const TTextFileKind& kind)
{
    return Load(name, &kind);
}

bool TTextFileView::Load(const std::wstring& name, const TTextFileKind* kind)
{
    if (name == fileName_)
        return true;
    fileName_.clear();
    Clear();
    if (name.empty())
        return false;
    if (!CanOpenFile(name))
        throw EFOpenError(L"Datei \"" + name + L"\" nicht vorhanden.");

    SetMaxLength(0x7FFFFBFF);
    const TWaitCursor wait;

    SetPlainText(!IsRichTextExtension(UpperExtension(name)));
    if (PlainText())
        DefAttributes().Assign(Font());  // plain text takes the control's font afresh
    SetReadOnly(false);
    // The kind test runs for every file, so the flags always describe this
    // one; a write-protected file is shown read-only whatever its kind.
    const TTextFileKind tested = kind ? *kind : GetTextFileKind(name);
    unicode_ = tested.Unicode;
    utf8_ = tested.Utf8;
    lfOnly_ = tested.LFOnly;
    const DWORD attributes = FileAttributes(name);
    // Attributes that cannot be read count as write-protected.
    const bool writeProtected = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY);
    const bool writable = TextIsWritable(tested, writeProtected);
    if (utf8_) {
        SetDefaultConverter(ConversionClass<TUtf8Conversion>());
    } else if (unicode_) {
        SetDefaultConverter(translation_ == TTextTranslation::ttlDOS8 ? ConversionClass<TUnicodeConversionDOS8>()
                                                                      : ConversionClass<TUnicodeConversionANSI>());
    } else {
        SetTranslation(translation_);
    }

    Lines().LoadFromFile(name);
    // A load stopped at the size question has already made the text read-only;
    // the source of a rich text shown as plain text is never saved over it.
    const bool stopped = ReadOnly();
    SetModified(false);
    SetReadOnly(!writable || stopped || NestedTooDeep());
    fileFormat_ = lfOnly_ ? TFileFormat::ffUNIX : TFileFormat::ffDOS;
    fileName_ = name;
    return true;
}

void TTextFileView::SaveToFile(const std::wstring& name)
{
    const auto codePage = translation_ == TTextTranslation::ttlDOS8 ? TUNIXConversion::TCodePageKind::Oem
                                                                    : TUNIXConversion::TCodePageKind::Ansi;
    // Unicode text never goes through the ANSI code page, which would lose
    // its characters: UTF-16 and UTF-8 files are written as UTF-16.
    if (unicode_ || utf8_)
        SetDefaultConverter(ConversionClass<TUnicodeConversionANSI>());
    else if (fileFormat_ == TFileFormat::ffUNIX)
        SetDefaultConverter([codePage] { return std::make_unique<TUNIXConversion>(codePage); });
    else
        SetTranslation(translation_);
    // Only plain text is ever editable here (a rich text is shown read-only),
    // so it goes back as plain text, also when the file is named ".rtf".
    const TRichStreamFormat format = Lines().StreamFormat;
    Lines().StreamFormat = TRichStreamFormat::sfPlainText;
    ScopeExit restore([this, format] { Lines().StreamFormat = format; });
    Lines().SaveToFile(name);
}

}  // namespace qrv

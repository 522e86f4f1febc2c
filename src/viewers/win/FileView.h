#pragma once
// TTextFileView: the display pane's view of rich-text documents and, on
// request, of plain text files, on the rich edit control. It knows the file it
// shows, reads it in its code page (ANSI, OEM or UTF-16) and saves it back in
// the line-end style and code page it was read in.

#include "viewers/TextFileKind.h"
#include "viewers/win/KyRichEd.h"

#include <string>

namespace qrv {

enum class TFileFormat { ffDOS = 0, ffUNIX = 1 };
// The code page of a plain text file: the system's ANSI or OEM code page.
enum class TTextTranslation { ttlANSI, ttlDOS8 };

class TTextFileView : public TKyRichEdit {
public:
    explicit TTextFileView(TComponent* owner);

    // The file shown, "" when none; setting another name loads it.
    const std::wstring& FileName() const { return fileName_; }
    void SetFileName(const std::wstring& name);
    // Sets the name without loading (after the file was renamed).
    void AssignFileName(const std::wstring& name) { fileName_ = name; }
    TFileFormat FileFormat() const { return fileFormat_; }
    void SetFileFormat(TFileFormat format) { fileFormat_ = format; }
    TTextTranslation Translation() const { return translation_; }
    // Also makes the code page the default conversion.
    void SetTranslation(TTextTranslation translation);
    // Set by DetectFileKind: the file is UTF-16 or UTF-8, its lines end in LF only.
    bool UnicodeFile() const { return unicode_; }
    bool Utf8File() const { return utf8_; }
    bool LFOnly() const { return lfOnly_; }

    // Loads a file: true when it is shown (also when it already was); false
    // for an empty name, which empties the view. Raises when the file cannot
    // be read; the view is then empty. A load the user stopped at the size
    // question shows the part read, read-only.
    bool LoadFromFile(const std::wstring& name);
    // The same with the file-kind test already made (its sample read once).
    bool LoadFromFile(const std::wstring& name, const TTextFileKind& kind);
    // Saves the text in the file's line-end style and code page.
    void SaveToFile(const std::wstring& name);

    // The file-kind test; the view keeps the file's UTF-16 and LF-only flags.
    bool DetectFileKind(const std::wstring& name);
    static bool IsRichTextFile(const std::wstring& name);

private:
    bool Load(const std::wstring& name, const TTextFileKind* kind);

    std::wstring fileName_;
    TFileFormat fileFormat_ = TFileFormat::ffDOS;
    TTextTranslation translation_ = TTextTranslation::ttlANSI;
    bool unicode_ = false;
    bool utf8_ = false;
    bool lfOnly_ = false;
};

}  // namespace qrv

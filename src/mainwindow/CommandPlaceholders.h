#pragma once
// The placeholders of a user command's parameter line ("[F]", "[!]",
// "[1]", "[*]", "[V]", "[?]", ...), replaced in one pass over the user's
// text: a value put in is never read again for placeholders, so a name
// like "Foto [1].jpg" arrives as it is. File values (names, paths, short
// forms, the list file) are quoted by the argument rules unless the user
// quoted the placeholder. Portable; what it needs of the window comes
// through TPlaceholderSource.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// An item of a file list.
struct TCommandItem {
    std::wstring Name;      // the stored file name
    std::wstring FullPath;  // folder + "\" + name (the name alone where it is a full path)
    bool Directory = false;
};

class TPlaceholderSource {
public:
    virtual ~TPlaceholderSource() = default;
    // The active list's selected items, in list order, and its focused item.
    virtual std::vector<TCommandItem> SelectedItems() = 0;
    virtual std::optional<TCommandItem> FocusedItem() = 0;
    // The other list's first selected item, when the second window shows.
    virtual std::optional<TCommandItem> OtherListSelection() = 0;
    // The 8.3 form of a full path; empty when the system has none.
    virtual std::wstring ShortPath(const std::wstring& FullPath) = 0;
    // Writes the names, one a line, into the list file; its path, or
    // nullopt when it could not be written (the window has said so).
    virtual std::optional<std::wstring> WriteListFile(const std::vector<std::wstring>& Names) = 0;
    // The questions; nullopt when the user cancelled. AskFile starts in
    // InitialFolder (the active list's folder when empty) and gives the
    // full name chosen; AskFolder gives a folder.
    virtual std::optional<std::wstring> AskParameter(const std::wstring& Line) = 0;
    virtual std::optional<std::wstring> AskFile(unsigned Number, const std::wstring& InitialFolder) = 0;
    virtual std::optional<std::wstring> AskFolder(unsigned Number) = 0;
    // The folder tree's folder, the paths of the two lists, whether the
    // second one shows, and the active list's folder.
    virtual std::wstring TreeFolder() = 0;
    virtual std::wstring ListPath(int Index) = 0;
    virtual bool SecondWindowShown() = 0;
    virtual std::wstring ActiveListPath() = 0;
};

enum class TExpandStatus {
    Done,
    Cancelled,  // the user cancelled a question
    Refused,    // a value cannot be passed (see Refusal)
};

struct TExpandResult {
    TExpandStatus Status = TExpandStatus::Done;
    std::wstring Line;
    std::wstring Refusal;  // the message, for Refused
};

// When the line is run through a batch file: whether a value arrives
// there unchanged (the batch's code page holds it, no variable in it). A
// value that does not is put in by its short form, or the run refused.
using TBatchFit = std::function<bool(const std::wstring& Value)>;

TExpandResult ExpandCommandPlaceholders(const std::wstring& Params, TPlaceholderSource& Source,
                                        const TBatchFit& FitsBatch = {});

}  // namespace qrv

#include "mainwindow/CommandPlaceholders.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "mainwindow/DroppedNames.h"

#include <algorithm>
#include <utility>

namespace qrv {

namespace {

// Where the user's text breaks into arguments: blanks and the operators a
// user writes between them.
bool BreaksWords(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'&' || c == L'|' || c == L'<' || c == L'>';
}

struct TValue {
    std::wstring Text;
    bool File = false;  // a name or path: quoted, and checked for the batch file
};

// A piece of the user's text: literal text, or a bracketed name of one to
// three characters with the value it was given.
struct TSegment {
    bool Placeholder = false;
    std::wstring Text;  // the literal text, or the name between the brackets
    std::optional<TValue> Value;
};

std::vector<TSegment> Split(const std::wstring& Text)
{
    std::vector<TSegment> segments;
    std::wstring literal;
    size_t i = 0;
    while (i < Text.size()) {
        if (Text[i] == L'[') {
            const size_t close = Text.find_first_of(L"[]", i + 1);
            if (close != std::wstring::npos && Text[close] == L']' && close - i - 1 >= 1 && close - i - 1 <= 3) {
                if (!literal.empty())
                    segments.push_back({false, std::exchange(literal, {}), std::nullopt});
                segments.push_back({true, Text.substr(i + 1, close - i - 1), std::nullopt});
                i = close + 1;
                continue;
            }
        }
        literal += Text[i++];
    }
    if (!literal.empty())
        segments.push_back({false, literal, std::nullopt});
    return segments;
}

class TExpander {
public:
    TExpander(const std::wstring& Params, TPlaceholderSource& Source, const TBatchFit& FitsBatch)
        : segments_(Split(Params)), source_(Source), fits_(FitsBatch)
    {}

    TExpandResult Run();

private:
    bool Occurs(const std::wstring& Name) const
    {
        return std::any_of(segments_.begin(), segments_.end(),
                           [&](const TSegment& s) { return s.Placeholder && !s.Value && s.Text == Name; });
    }
    // Every open occurrence of Name gets the value; a file value that the
    // batch file cannot take goes in by its short form (MakeShort) or
    // refuses the run.
    void Set(const std::wstring& Name, std::wstring Text, bool File,
             const std::function<std::wstring()>& MakeShort = {});
    void Rename(const std::wstring& From, const std::wstring& To)
    {
        for (TSegment& s : segments_)
            if (s.Placeholder && !s.Value && s.Text == From)
                s.Text = To;
    }
    std::wstring Render(bool CleanUp) const;

    std::wstring Short(const std::wstring& FullPath) { return source_.ShortPath(FullPath); }
    std::wstring ShortName(const std::wstring& FullPath) { return ExtractFileName(Short(FullPath)); }
    void ReferenceItem(const TCommandItem& Item, const std::vector<TCommandItem>& Selected);
    void SecondFile(const std::vector<TCommandItem>& Selected);
    void Folders();
    bool AskFiles();
    bool AskFolders();

    std::vector<TSegment> segments_;
    TPlaceholderSource& source_;
    const TBatchFit& fits_;
    std::wstring refusal_;
};

void TExpander::Set(const std::wstring& Name, std::wstring Text, bool File,
                    const std::function<std::wstring()>& MakeShort)
{
    if (!Occurs(Name) || !refusal_.empty())
        return;
    if (File && fits_ && !Text.empty() && !fits_(Text)) {
        const std::wstring shortForm = MakeShort ? MakeShort() : std::wstring();
        if (shortForm.empty() || !fits_(shortForm)) {
            refusal_ = L"\"" + Text + L"\" kann der Eingabeaufforderung nicht übergeben werden.";
            return;
        }
        Text = shortForm;
    }
    for (TSegment& s : segments_)
        if (s.Placeholder && !s.Value && s.Text == Name)
            s.Value = TValue{Text, File};
}

std::wstring TExpander::Render(bool CleanUp) const
{
    // Word by word: a word with a file value in it is quoted as a whole
    // ("[\][F]" is one path, "[N].bak" one name), unless the user quoted
    // in it, who then has the quotes as written.
    std::wstring line;
    std::wstring word;
    bool wordHasFile = false;
    bool wordUserQuoted = false;
    auto endWord = [&] {
        line += wordHasFile && !wordUserQuoted ? QuoteCommandArgument(word, TQuoting::Always) : word;
        word.clear();
        wordHasFile = wordUserQuoted = false;
    };
    for (size_t i = 0; i < segments_.size(); ++i) {
        const TSegment& s = segments_[i];
        if (!s.Placeholder) {
            for (const wchar_t c : s.Text) {
                if (BreaksWords(c)) {
                    endWord();
                    line += c;
                    continue;
                }
                wordUserQuoted = wordUserQuoted || c == L'"';
                word += c;
            }
            continue;
        }
        if (!s.Value) {
            word += CleanUp && s.Text.size() <= 2 ? std::wstring(s.Text.size() + 2, L' ') : L"[" + s.Text + L"]";
            continue;
        }
        const bool beforeQuote =
            i + 1 < segments_.size() && !segments_[i + 1].Placeholder && segments_[i + 1].Text.front() == L'"';
        word += beforeQuote ? EscapeBeforeQuote(s.Value->Text) : s.Value->Text;
        wordHasFile = wordHasFile || (s.Value->File && !s.Value->Text.empty());
    }
    endWord();
    return line;
}

void TExpander::ReferenceItem(const TCommandItem& Item, const std::vector<TCommandItem>& Selected)
{
    if (Occurs(L"*") && !Selected.empty()) {
        std::vector<std::wstring> names;
        for (const TCommandItem& item : Selected)
            names.push_back(item.Name);
        if (const std::optional<std::wstring> listFile = source_.WriteListFile(names))
            Set(L"*", *listFile, true, [&] { return Short(*listFile); });
    }
    // File values of a folder are empty.
    const std::wstring path = Item.Directory ? std::wstring() : Item.FullPath;
    const std::wstring name = Item.Directory ? std::wstring() : Item.Name;
    auto shortPath = [&] { return path.empty() ? std::wstring() : Short(path); };
    auto shortName = [&] { return path.empty() ? std::wstring() : ShortName(path); };
    Set(L"!", path, true, shortPath);
    Set(L"S!", shortPath(), true, shortPath);
    SecondFile(Selected);
    Set(L"F", name, true, shortName);
    Set(L"SF", shortName(), true, shortName);
    Set(L"N", ExtractFileBaseName(name), true, [&] { return ExtractFileBaseName(shortName()); });
    Set(L"SN", ExtractFileBaseName(shortName()), true, [&] { return ExtractFileBaseName(shortName()); });
    Set(L"E", ExtractFileExt(name), true, [&] { return ExtractFileExt(shortName()); });
    // "[1]".."[5]" and "[S1]".."[S5]", each row up to the first number the
    // line lacks; a number beyond the selection stays for the clean-up.
    for (const wchar_t* prefix : {L"", L"S"})
        for (size_t n = 1; n <= 5 && Occurs(prefix + IntToStr(static_cast<int>(n))); ++n) {
            if (n > Selected.size())
                continue;
            const TCommandItem& item = Selected[n - 1];
            const std::wstring key = prefix + IntToStr(static_cast<int>(n));
            if (*prefix)
                Set(key, ShortName(item.FullPath), true, [&] { return ShortName(item.FullPath); });
            else
                Set(key, item.Name, true, [&] { return ShortName(item.FullPath); });
        }
}

void TExpander::SecondFile(const std::vector<TCommandItem>& Selected)
{
    if (!Occurs(L"!2") && !Occurs(L"S!2"))
        return;
    std::optional<TCommandItem> second;
    if (Selected.size() < 2)
        second = source_.OtherListSelection();
    else
        second = Selected[1];
    if (second) {
        const std::wstring path = second->FullPath;
        Set(L"!2", path, true, [&] { return Short(path); });
        Set(L"S!2", Short(path), true, [&] { return Short(path); });
    }
    // What is left asks for a file.
    Rename(L"!2", L"?F");
    Rename(L"S!2", L"?F");
}

void TExpander::Folders()
{
    const std::wstring tree = source_.TreeFolder();
    Set(L"V", tree, true, [&] { return Short(tree); });
    Set(L"SV", Short(tree), true, [&] { return Short(tree); });
    const std::wstring first = source_.ListPath(0);
    Set(L"V1", first, true, [&] { return Short(first); });
    Set(L"SV1", Short(first), true, [&] { return Short(first); });
    if (source_.SecondWindowShown()) {
        const std::wstring second = source_.ListPath(1);
        Set(L"V2", second, true, [&] { return Short(second); });
        Set(L"SV2", Short(second), true, [&] { return Short(second); });
    } else {
        Set(L"V2", L" ", false);
        Set(L"SV2", L" ", false);
    }
    auto shortTree = [&] { return tree.empty() ? std::wstring() : AddBackslash(Short(tree)); };
    Set(L"\\", AddBackslash(tree), true, shortTree);
    Set(L"S\\", shortTree(), true, shortTree);
}

bool TExpander::AskFiles()
{
    std::wstring initialFolder;
    const std::wstring listFolder = AddBackslash(source_.ActiveListPath());
    for (unsigned number = 1; refusal_.empty(); ++number) {
        auto open = std::find_if(segments_.begin(), segments_.end(),
                                 [](const TSegment& s) { return s.Placeholder && !s.Value && s.Text == L"?F"; });
        if (open == segments_.end())
            return true;
        const std::optional<std::wstring> chosen = source_.AskFile(number, initialFolder);
        if (!chosen)
            return false;
        std::wstring name = *chosen;
        if (name.find(L' ') != std::wstring::npos)
            if (std::wstring shortForm = Short(name); !shortForm.empty())
                name = shortForm;
        initialFolder = ExtractFilePath(*chosen);
        if (SameText(initialFolder, listFolder))
            name = ExtractFileName(name);
        // This occurrence only: the next one asks again.
        open->Text = L"?F##";
        Set(L"?F##", name, true, [&] { return Short(*chosen); });
    }
    return true;
}

bool TExpander::AskFolders()
{
    for (unsigned number = 1; refusal_.empty(); ++number) {
        auto open = std::find_if(segments_.begin(), segments_.end(),
                                 [](const TSegment& s) { return s.Placeholder && !s.Value && s.Text == L"?V"; });
        if (open == segments_.end())
            return true;
        const std::optional<std::wstring> chosen = source_.AskFolder(number);
        if (!chosen)
            return false;
        std::wstring folder = *chosen;
        if (folder.find(L' ') != std::wstring::npos)
            if (std::wstring shortForm = Short(folder); !shortForm.empty())
                folder = shortForm;
        open->Text = L"?V##";
        Set(L"?V##", AddBackslash(folder), true, [&] { return AddBackslash(Short(*chosen)); });
    }
    return true;
}

TExpandResult TExpander::Run()
{
    auto refused = [this] { return TExpandResult{TExpandStatus::Refused, {}, refusal_}; };
    const std::vector<TCommandItem> selected = source_.SelectedItems();
    std::optional<TCommandItem> reference;
    if (!selected.empty())
        reference = selected.front();
    else
        reference = source_.FocusedItem();
    if (reference)
        ReferenceItem(*reference, selected);
    if (!refusal_.empty())
        return refused();
    if (Occurs(L"?")) {
        const std::optional<std::wstring> entry = source_.AskParameter(Render(false));
        if (!entry)
            return {TExpandStatus::Cancelled, {}, {}};
        Set(L"?", *entry, false);
    }
    Folders();
    if (!refusal_.empty())
        return refused();
    if (!AskFiles())
        return {TExpandStatus::Cancelled, {}, {}};
    if (!refusal_.empty())
        return refused();
    if (!AskFolders())
        return {TExpandStatus::Cancelled, {}, {}};
    if (!refusal_.empty())
        return refused();
    return {TExpandStatus::Done, Render(true), {}};
}

}  // namespace

TExpandResult ExpandCommandPlaceholders(const std::wstring& Params, TPlaceholderSource& Source,
                                        const TBatchFit& FitsBatch)
{
    return TExpander(Params, Source, FitsBatch).Run();
}

}  // namespace qrv

#include "editor/EasySearchSettings.h"

#include "editor/EasyRegExpr.h"
#include "editor/EasyStrings.h"
#include "editor/WideText.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <tuple>

namespace qrv {

namespace {

TEasySearchHook& TheSearchHook()
{
    static TEasySearchHook hook;
    return hook;
}

// An enumeration stored as its number; another number is a damaged value.
template <typename T>
TEasyProperty EnumProperty(std::wstring name, T& field, T last)
{
    return IntegerProperty(
        std::move(name), [&field] { return static_cast<int64_t>(field); },
        [&field, last](int64_t value) {
            if (value < 0 || value > static_cast<int64_t>(last))
                throw EConvertError(L"Ungültiger Eigenschaftswert");
            field = static_cast<T>(value);
        });
}

TEasyProperty BoolField(std::wstring name, bool& field)
{
    return BooleanProperty(
        std::move(name), [&field] { return field; }, [&field](bool value) { field = value; });
}

TEasyProperty StringField(std::wstring name, std::wstring& field)
{
    return StringProperty(
        std::move(name), [&field] { return field; }, [&field](const std::wstring& value) { field = value; });
}

// The length of the line without its trailing blanks, which no search sees.
int SearchedLength(const TEasyStrings& lines, int line)
{
    return static_cast<int>(TrimRightBlanks(lines.Get(line)).size());
}

// One character on from the position in the direction; false past the
// text's end or start. Backward from column 1 the line above is searched
// from its end (column 0 tells FindText so).
bool StepOn(const TEasyStrings& lines, TEasyPoint& pos, bool forward)
{
    if (forward) {
        if (pos.X <= SearchedLength(lines, pos.Y)) {
            ++pos.X;
            return true;
        }
        if (pos.Y + 1 >= lines.Count())
            return false;
        pos = {1, pos.Y + 1};
        return true;
    }
    if (pos.X > 1) {
        pos.X = std::min(pos.X, SearchedLength(lines, pos.Y) + 2) - 1;
        return true;
    }
    if (pos.Y == 0)
        return false;
    pos.X = 0;
    return true;
}

// The position lies strictly further in the search direction.
bool Beyond(TEasyPoint pos, TEasyPoint start, bool forward)
{
    return forward ? std::tie(pos.Y, pos.X) > std::tie(start.Y, start.X)
                   : std::tie(pos.Y, pos.X) < std::tie(start.Y, start.X);
}

}  // namespace

const TEasySearchHook& SearchHook()
{
    return TheSearchHook();
}

void SetSearchHook(TEasySearchHook hook)
{
    TheSearchHook() = std::move(hook);
}

void TEasySearchSettings::SetDefaults()
{
    TextToFind.clear();
    ReplaceWith.clear();
    PromptOnReplace = true;
    CaseSensitive = false;
    WholeWordsOnly = false;
    RegularExpr = false;
    Direction = TEasySearchDirection::srForward;
    Scope = TEasySearchScope::scGlobal;
    Origin = TEasySearchOrigin::sgEntireScope;
    ShowNotFound = true;
    ReplaceAll = false;
    InReplace = false;
    FirstSearch = false;
    GotoLineNumber = 0;
    last_ = {};
}

void TEasySearchSettings::Assign(TEasySearchSettings& source)
{
    source.BeginUpdate();
    const ScopeExit end([&source] { source.EndUpdate(); });
    TextToFind = source.TextToFind;
    ReplaceWith = source.ReplaceWith;
    PromptOnReplace = source.PromptOnReplace;
    CaseSensitive = source.CaseSensitive;
    WholeWordsOnly = source.WholeWordsOnly;
    RegularExpr = source.RegularExpr;
    Direction = source.Direction;
    Scope = source.Scope;
    Origin = source.Origin;
    ShowNotFound = source.ShowNotFound;
    ReplaceAll = source.ReplaceAll;
    InReplace = source.InReplace;
    FirstSearch = source.FirstSearch;
    GotoLineNumber = source.GotoLineNumber;
}

std::vector<TEasyProperty> TEasySearchSettings::Properties()
{
    // ReplaceAll, InReplace and FirstSearch are the state of one run.
    return {
        StringField(L"TextToFind", TextToFind),
        StringField(L"ReplaceWith", ReplaceWith),
        BoolField(L"PromptOnReplace", PromptOnReplace),
        BoolField(L"CaseSensitive", CaseSensitive),
        BoolField(L"WholeWordsOnly", WholeWordsOnly),
        BoolField(L"RegularExpr", RegularExpr),
        EnumProperty(L"Direction", Direction, TEasySearchDirection::srBackward),
        EnumProperty(L"Scope", Scope, TEasySearchScope::scSelectedText),
        EnumProperty(L"Origin", Origin, TEasySearchOrigin::sgEntireScope),
        BoolField(L"ShowNotFound", ShowNotFound),
        IntegerProperty(
            L"GotoLineNumber", [this] { return static_cast<int64_t>(GotoLineNumber); },
            [this](int64_t value) {
                if (value < INT32_MIN || value > INT32_MAX)
                    throw EConvertError(L"Ungültiger Eigenschaftswert");
                GotoLineNumber = static_cast<int>(value);
            }),
    };
}

bool TEasySearchSettings::Search(const TEasyStrings& lines, TEasyPoint& pos, const TEasyCharSet& delimiters,
                                 int& length)
{
    const bool first = FirstSearch;
    FirstSearch = false;  // by every search, also one that raises
    const int count = lines.Count();
    if (count == 0)
        return false;
    const bool forward = Direction == TEasySearchDirection::srForward;
    // The start of the scope is no earlier match: a match there counts.
    const bool fromScopeStart = first && Origin == TEasySearchOrigin::sgEntireScope;
    if (fromScopeStart)
        pos = forward ? TEasyPoint{1, 0} : TEasyPoint{SearchedLength(lines, count - 1) + 1, count - 1};

    const int options =
        (CaseSensitive ? ftCaseSensitive : 0) | (WholeWordsOnly ? ftWholeWords : 0) | (forward ? ftForward : 0);
    std::unique_ptr<TEasyLineMatcher> matcher;
    if (RegularExpr) {
        const std::u16string pattern = ToUtf16(TextToFind);
        if (SearchHook())
            matcher = SearchHook()(pattern, CaseSensitive);
        if (!matcher)
            matcher = std::make_unique<TEasyRegExpr>(pattern, CaseSensitive);
    }
    const bool sameSearch = last_.Valid && last_.Text == TextToFind && last_.Options == options &&
                            last_.RegularExpr == RegularExpr && last_.Lines == &lines;
    const TEasyPoint origin = pos;
    // A search from within the match it returned last goes on past it.
    auto repeats = [&](TEasyPoint at, int matchLength) {
        return sameSearch && at == last_.Pos && matchLength == last_.Length && origin.Y == at.Y && origin.X >= at.X &&
               origin.X <= at.X + matchLength;
    };

    const std::u16string text = ToUtf16(TextToFind);
    TEasyPoint start = origin;
    for (;;) {
        TEasyPoint at = start;
        int matchLength = 0;
        if (!FindText(text, lines, options, matcher.get(), matchLength, at, delimiters)) {
            last_.Valid = false;
            return false;
        }
        // A first search from the scope's start takes what it finds there,
        // whatever an earlier search returned.
        const bool stays = !fromScopeStart && ((matchLength == 0 && at == origin) || repeats(at, matchLength));
        if (!stays) {
            pos = at;
            length = matchLength;
            // Field by field: the text keeps its storage from search to search.
            last_.Valid = true;
            last_.Pos = at;
            last_.Length = matchLength;
            last_.Text = TextToFind;
            last_.Options = options;
            last_.RegularExpr = RegularExpr;
            last_.Lines = &lines;
            return true;
        }
        // On from the match; the engine may place a zero-length match at a
        // line end behind a backward start, so the next start is also kept
        // strictly beyond this one: the loop ends.
        TEasyPoint next = at;
        const bool moved = StepOn(lines, next, forward) && Beyond(next, start, forward);
        if (!moved) {
            next = start;
            if (!StepOn(lines, next, forward)) {
                last_.Valid = false;
                return false;
            }
        }
        start = next;
    }
}

TEasySearchSettings& GetSearchSettings()
{
    std::unique_ptr<TEasySettings>& slot = detail::SearchSettingsSlot();
    if (!slot) {
        auto settings = std::make_unique<TEasySearchSettings>();
        settings->Load();
        slot = std::move(settings);
    }
    return static_cast<TEasySearchSettings&>(*slot);
}

}  // namespace qrv

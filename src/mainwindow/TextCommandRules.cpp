#include "mainwindow/TextCommandRules.h"

#include "viewers/HexDocument.h"

#include <algorithm>

namespace qrv {

namespace {

bool IsHexDigit(wchar_t C)
{
    return (C >= L'0' && C <= L'9') || (C >= L'a' && C <= L'f') || (C >= L'A' && C <= L'F');
}

}  // namespace

bool IsHexBytePattern(std::wstring_view Text)
{
    return Text.size() > 4 && (Text[0] == L'X' || Text[0] == L'x') && Text[1] == L'\'' && Text.back() == L'\'';
}

THexSearchPattern MakeHexSearchPattern(std::wstring_view Text, bool WholeWord, bool SwapNibbles,
                                       const THexCharEncoder& Encode)
{
    THexSearchPattern pattern;
    if (Text.empty()) {
        pattern.Error = THexPatternError::Empty;
        return pattern;
    }
    if (IsHexBytePattern(Text)) {
        pattern.Digits = std::wstring(Text.substr(2, Text.size() - 3));
        size_t digits = 0;
        bool convertible = true;
        for (const wchar_t c : pattern.Digits) {
            if (IsHexDigit(c))
                ++digits;
            else if (c != L' ')
                convertible = false;
        }
        if (!convertible || digits == 0)
            pattern.Error = THexPatternError::NotConvertible;
        else if (digits % 2 != 0)
            pattern.Error = THexPatternError::OddLength;
        else
            pattern.Bytes = HexStringToBytes(std::u16string(pattern.Digits.begin(), pattern.Digits.end()), SwapNibbles);
        return pattern;
    }
    std::wstring wanted(Text);
    if (WholeWord)
        wanted = L" " + wanted + L" ";
    for (const wchar_t c : wanted) {
        const std::optional<uint8_t> byte = Encode(c);
        if (!byte) {
            pattern.Error = THexPatternError::Unmappable;
            pattern.Bytes.clear();
            return pattern;
        }
        pattern.Bytes.push_back(*byte);
    }
    return pattern;
}

std::wstring SearchNotFoundText(const std::wstring& Text)
{
    return L"Gesuchter Text \"" + Text + L"\" nicht gefunden.";
}

std::wstring HexPatternMessage(const THexSearchPattern& Pattern, const std::wstring& Text)
{
    switch (Pattern.Error) {
    case THexPatternError::None:
        return L"";
    case THexPatternError::Empty:
        return L"Zu suchender Text ist leer.";
    case THexPatternError::OddLength:
        return L"Länge der eingegebenen Hex-Zeichenkette ist ungerade.";
    case THexPatternError::NotConvertible:
        return L"Hex-Zeichenkette " + Pattern.Digits + L" kann nicht konvertiert werden.";
    case THexPatternError::Unmappable:
        return SearchNotFoundText(Text);
    }
    return L"";
}

int64_t HexSearchStart(const THexSearchPlace& Place, int64_t PatternLength)
{
    const bool showsLastMatch = Place.SelCount > 0 && Place.LastMatch >= 0 && Place.SelStart == Place.LastMatch &&
                                Place.SelCount == Place.LastLength;
    if (showsLastMatch)
        return Place.LastMatch + 1;
    if (PatternLength == 1 && Place.SelCount == 0)
        return Place.Caret;
    return Place.Caret + 1;
}

std::wstring SortBlock(const std::wstring& Block, const TLineCompare& Compare)
{
    std::vector<std::wstring> lines;
    std::wstring lineBreak;
    bool endsInBreak = false;
    size_t start = 0;
    while (start <= Block.size()) {
        const size_t at = Block.find_first_of(L"\r\n", start);
        if (at == std::wstring::npos) {
            lines.push_back(Block.substr(start));
            break;
        }
        const size_t breakLength = Block.compare(at, 2, L"\r\n") == 0 ? 2 : 1;
        if (lineBreak.empty())
            lineBreak = Block.substr(at, breakLength);
        lines.push_back(Block.substr(start, at - start));
        start = at + breakLength;
        if (start == Block.size()) {
            endsInBreak = true;
            break;
        }
    }
    if (lineBreak.empty())
        lineBreak = L"\r\n";
    std::stable_sort(lines.begin(), lines.end(),
                     [&Compare](const std::wstring& a, const std::wstring& b) { return Compare(a, b) < 0; });
    std::wstring sorted;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            sorted += lineBreak;
        sorted += lines[i];
    }
    if (endsInBreak)
        sorted += lineBreak;
    return sorted;
}

int ReplaceEvery(const std::function<int(int From)>& Find, const std::function<void(int At)>& Replace,
                 int ReplacementLength)
{
    int count = 0;
    int from = 0;
    for (int at = Find(from); at >= from; at = Find(from)) {
        Replace(at);
        ++count;
        from = at + ReplacementLength;
    }
    return count;
}

std::wstring OneLinePasteText(const std::wstring& ClipboardText)
{
    std::wstring line = ClipboardText.substr(0, ClipboardText.find(L'\r'));
    std::erase(line, L'\n');
    return line;
}

TUndoTarget ChooseUndo(const TUndoFacts& Facts)
{
    if (Facts.Focus == TActionFocus::TextView && Facts.TextViewCanUndo && Facts.TextViewHasFile)
        return TUndoTarget::TextView;
    if (Facts.Focus == TActionFocus::Editor && Facts.EditorCanUndo && !Facts.EditorReadOnly)
        return TUndoTarget::Editor;
    return Facts.FileUndoEnabled ? TUndoTarget::FileOperation : TUndoTarget::None;
}

TModeStep DisplayModeStep(uint8_t Current, uint8_t Wanted, bool DisplayOn)
{
    if (DisplayOn)
        return Current == Wanted ? TModeStep::Nothing : TModeStep::Redisplay;
    return Wanted == 0 ? TModeStep::SetOnly : TModeStep::TurnOn;
}

uint8_t ModeOfButton(uint8_t Current, uint8_t Button)
{
    return Current == Button ? 0 : Button;
}

}  // namespace qrv

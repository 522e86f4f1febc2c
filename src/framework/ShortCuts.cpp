#include "framework/ShortCuts.h"

#include "framework/SysUtils.h"

namespace qrv {
namespace {

// Virtual-key codes (the values are fixed by the keyboard interface).
struct KeyName {
    uint16_t key;
    const wchar_t* name;
};
constexpr KeyName kKeyNames[] = {
    {0x08, L"Rücktaste"}, {0x09, L"Tab"},     {0x0D, L"Eingabe"},    {0x1B, L"Esc"},   {0x20, L"Leer"},
    {0x21, L"Bild auf"},  {0x22, L"Bild ab"}, {0x23, L"Ende"},       {0x24, L"Pos1"},  {0x25, L"Links"},
    {0x26, L"Nach oben"}, {0x27, L"Rechts"},  {0x28, L"Nach unten"}, {0x2D, L"Einfg"}, {0x2E, L"Entf"},
    {0x6A, L"Num *"},     {0x6B, L"Num +"},   {0x6D, L"Num -"},      {0x6E, L"Num ,"}, {0x6F, L"Num /"},
    {0xBA, L"Ü"},         {0xBB, L"+"},       {0xBC, L","},          {0xBD, L"-"},     {0xBE, L"."},
    {0xBF, L"#"},         {0xC0, L"Ö"},       {0xDB, L"ß"},          {0xDC, L"^"},     {0xDD, L"´"},
    {0xDE, L"Ä"},         {0xE2, L"<"},
};

std::wstring KeyText(uint16_t key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= 0x60 && key <= 0x69)
        return L"Num " + std::to_wstring(key - 0x60);
    if (key >= 0x70 && key <= 0x87)
        return L"F" + std::to_wstring(key - 0x70 + 1);
    for (const KeyName& entry : kKeyNames)
        if (entry.key == key)
            return entry.name;
    return {};
}

}  // namespace

std::wstring ShortCutToText(TShortCut shortCut)
{
    const std::wstring key = KeyText(ShortCutKey(shortCut));
    if (key.empty())
        return {};
    std::wstring text;
    if (shortCut & scShift)
        text += L"Umsch+";
    if (shortCut & scCtrl)
        text += L"Strg+";
    if (shortCut & scAlt)
        text += L"Alt+";
    return text + key;
}

bool IsAccel(wchar_t character, const std::wstring& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] == L'&') {
            ++i;  // an ampersand shown as itself
            continue;
        }
        return UpCaseChar(caption[i + 1]) == UpCaseChar(character);
    }
    return false;
}

}  // namespace qrv

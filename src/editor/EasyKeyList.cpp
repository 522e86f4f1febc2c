#include "editor/EasyKeyList.h"

#include <algorithm>
#include <tuple>

namespace qrv {

namespace {

using H = TEasyKeyHandler;
namespace Vk = EasyVk;
constexpr TEasyShiftState None = 0, Sh = ssShift, Al = ssAlt, Ct = ssCtrl;

auto OrderKey(uint16_t key, TEasyShiftState shift, int8_t state)
{
    return std::make_tuple(key, ShiftBits(shift), state);
}

bool Before(const TEasyKeyData& data, const std::tuple<uint16_t, uint8_t, int8_t>& key)
{
    return OrderKey(data.Key, data.Shift, data.State) < key;
}

}  // namespace

void TEasyKeyList::AddKey(uint16_t key, TEasyShiftState shift, uint8_t nextState, int8_t state, uint8_t command,
                          TEasyKeyHandler handler)
{
    shift = ShiftBits(shift);
    const auto order = OrderKey(key, shift, state);
    auto at = std::lower_bound(keys_.begin(), keys_.end(), order, Before);
    TEasyKeyData data{key, shift, state, nextState, handler, command};
    if (at != keys_.end() && OrderKey(at->Key, at->Shift, at->State) == order)
        *at = data;
    else
        keys_.insert(at, data);
}

void TEasyKeyList::AddAnyState(uint16_t key, TEasyShiftState shift, uint8_t command, TEasyKeyHandler handler)
{
    AddKey(key, shift, 0, AnyKeyState, command, handler);
}

void TEasyKeyList::AddNormal(uint16_t key, TEasyShiftState shift, uint8_t command, TEasyKeyHandler handler)
{
    AddKey(key, shift, 0, 0, command, handler);
}

int TEasyKeyList::FindBinding(uint16_t key, TEasyShiftState shift, int state) const
{
    shift = ShiftBits(shift);
    auto first = std::lower_bound(keys_.begin(), keys_.end(), OrderKey(key, shift, INT8_MIN), Before);
    int found = -1;
    for (auto it = first; it != keys_.end() && it->Key == key && it->Shift == shift; ++it) {
        if (it->State == AnyKeyState || (state >= 0 && it->State == state))
            found = static_cast<int>(it - keys_.begin());
    }
    return found;
}

const TEasyKeyData* TEasyKeyList::GetBinding(uint16_t key, TEasyShiftState shift, int state) const
{
    const int index = FindBinding(key, shift, state);
    return index < 0 ? nullptr : &keys_[static_cast<size_t>(index)];
}

// Cursor keys, deletion, line keys and the two selection families.
void TEasyKeyList::AddBaseSet(int map, bool withPrefixSet)
{
    AddAnyState(Vk::Up, None, 0, H::ExecuteCommand);
    AddAnyState(Vk::Down, None, 1, H::ExecuteCommand);
    AddAnyState(Vk::Left, None, 2, H::ExecuteCommand);
    AddAnyState(Vk::Right, None, 3, H::ExecuteCommand);
    AddAnyState(Vk::Prior, None, 4, H::ExecuteCommand);
    AddAnyState(Vk::Next, None, 5, H::ExecuteCommand);
    AddNormal(Vk::Delete, None, 3, H::DeleteCommand);
    AddNormal(Vk::Back, None, 2, H::DeleteCommand);
    AddNormal(Vk::Back, Sh, 2, H::DeleteCommand);
    AddNormal(Vk::Return, None, 16, H::LineCommand);
    AddNormal(Vk::Return, Sh, 16, H::LineCommand);
    AddNormal(Vk::Escape, None, 17, H::LineCommand);
    AddNormal(Vk::Tab, None, 18, H::LineCommand);
    AddNormal(Vk::Tab, Sh, 19, H::LineCommand);
    AddNormal(Vk::Left, Ct, 8, H::ExecuteCommand);
    AddNormal(Vk::Right, Ct, 9, H::ExecuteCommand);
    AddNormal('J', Ct, 0, H::InsertCodeTemplate);
    AddSelectionSet(map);
    if (withPrefixSet)
        AddPrefixSet();
}

void TEasyKeyList::AddSelectionSet(int map)
{
    const uint8_t page = map == 1 ? 12 : 14;
    const uint8_t text = map == 1 ? 14 : 12;
    struct Move {
        uint16_t Key;
        TEasyShiftState Shift;
        uint8_t Command;
    };
    const Move moves[] = {
        {Vk::Up, Sh, 0},
        {Vk::Down, Sh, 1},
        {Vk::Left, Sh, 2},
        {Vk::Right, Sh, 3},
        {Vk::Prior, Sh, 4},
        {Vk::Next, Sh, 5},
        {Vk::Home, Sh, 10},
        {Vk::End, Sh, 11},
        {Vk::Left, Sh | Ct, 8},
        {Vk::Right, Sh | Ct, 9},
        {Vk::Prior, Sh | Ct, page},
        {Vk::Next, Sh | Ct, uint8_t(page + 1)},
        {Vk::Home, Sh | Ct, text},
        {Vk::End, Sh | Ct, uint8_t(text + 1)},
    };
    for (const Move& move : moves)
        AddNormal(move.Key, move.Shift, move.Command, H::MoveExtendingSelection);
    for (const Move& move : moves)
        AddNormal(move.Key, move.Shift | Al, move.Command, H::MoveExtendingColumnSelection);
    AddNormal(Vk::Prior, Sh | Al, 4, H::MoveExtendingColumnSelection);
    AddNormal(Vk::Next, Sh | Al, 5, H::MoveExtendingColumnSelection);
}

// Ctrl+K and Ctrl+Q prefixes; bookmarks set and jumped to by digit.
void TEasyKeyList::AddPrefixSet()
{
    AddKey('K', Ct, 1, 0, 0, H::None);
    AddKey('Q', Ct, 2, 0, 0, H::None);
    for (uint8_t n = 0; n <= 9; ++n) {
        const uint16_t digit = uint16_t('0' + n);
        AddKey(digit, None, 0, 1, n, H::SetBookmarkCommand);
        AddKey(digit, Ct, 0, 1, n, H::SetBookmarkCommand);
        AddKey(digit, None, 0, 2, n, H::GotoBookmarkCommand);
        AddKey(digit, Ct, 0, 2, n, H::GotoBookmarkCommand);
        AddNormal(digit, Sh | Ct, n, H::SetBookmarkCommand);
        AddNormal(digit, Ct, n, H::GotoBookmarkCommand);
    }
}

void TEasyKeyList::AddExtraSet()
{
    AddAnyState(Vk::Home, None, 10, H::ExecuteCommand);
    AddAnyState(Vk::End, None, 11, H::ExecuteCommand);
    AddNormal(Vk::Back, Al, 20, H::UndoCommand);
    AddNormal(Vk::Back, Sh | Al, 21, H::UndoCommand);
    AddNormal(Vk::Delete, Sh, 23, H::ExecuteBlockCommand);
    AddNormal(Vk::Delete, Ct, 25, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, Sh, 24, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, Ct, 22, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, None, 53, H::ToggleCommand);
    AddKey('F', Ct, 0, 2, 26, H::ExecuteDialog);
    AddKey('A', Ct, 0, 2, 27, H::ExecuteDialog);
    AddKey('Y', Ct, 0, 2, 11, H::DeleteCommand);
    AddNormal(Vk::Back, Ct, 8, H::DeleteCommand);
    AddNormal('A', Ct, 44, H::ExecuteBlockCommand);
    AddNormal('G', Sh | Ct, 45, H::CharCommand);
    AddKey('O', Ct, 3, 0, 0, H::None);
    AddKey('G', Ct, 0, 3, 28, H::ExecuteDialog);
    AddKey('L', Ct, 0, 3, 34, H::ExecuteBlockCommand);
    AddKey('U', Ct, 0, 3, 46, H::ExecuteBlockCommand);
    AddNormal(Vk::OpenBracket, Ct, 61, H::ExecuteCommand);
    AddNormal(Vk::CloseBracket, Ct, 62, H::ExecuteCommand);
    // The bracket jump sits on the key that types "[" in this layout; a
    // layout without one gets no binding.
    const int16_t scan = keyScan_ ? keyScan_(u'[') : int16_t(-1);
    if (scan != -1)
        AddNormal(uint16_t(scan & 0xFF), Ct, 0, H::JumpToMatchingBracket);
    AddNormal('E', Ct, 0, H::StartIncrementalSearch);
}

// Block commands after Ctrl+K and movements after Ctrl+Q, with or without Ctrl.
void TEasyKeyList::AddBlockSet()
{
    struct Entry {
        char Key;
        uint8_t Command;
    };
    static constexpr Entry afterK[] = {{'B', 29}, {'C', 30}, {'E', 31}, {'F', 32}, {'I', 33}, {'L', 34}, {'N', 35},
                                       {'O', 36}, {'U', 37}, {'K', 38}, {'T', 39}, {'V', 40}, {'Y', 41}};
    static constexpr Entry afterQ[] = {{'B', 42}, {'C', 13}, {'D', 11}, {'E', 14}, {'K', 43},
                                       {'R', 12}, {'S', 10}, {'T', 14}, {'U', 15}, {'X', 15}};
    for (const Entry& entry : afterK) {
        AddKey(uint16_t(entry.Key), None, 0, 1, entry.Command, H::ExecuteBlockCommand);
        AddKey(uint16_t(entry.Key), Ct, 0, 1, entry.Command, H::ExecuteBlockCommand);
    }
    for (const Entry& entry : afterQ) {
        AddKey(uint16_t(entry.Key), None, 0, 2, entry.Command, H::ExecuteCommand);
        AddKey(uint16_t(entry.Key), Ct, 0, 2, entry.Command, H::ExecuteCommand);
    }
}

void TEasyKeyList::InstallDefaultKeys()
{
    ClearKeys();
    AddBaseSet(0, true);
    AddExtraSet();
    AddBlockSet();
    AddAnyState(Vk::Home, Ct, 12, H::ExecuteCommand);
    AddAnyState(Vk::End, Ct, 13, H::ExecuteCommand);
    AddAnyState(Vk::Prior, Ct, 14, H::ExecuteCommand);
    AddAnyState(Vk::Next, Ct, 15, H::ExecuteCommand);
    AddNormal('X', Ct, 23, H::ExecuteBlockCommand);
    AddNormal('V', Ct, 24, H::ExecuteBlockCommand);
    AddNormal('C', Ct, 22, H::ExecuteBlockCommand);
    AddNormal(Vk::F3, None, 26, H::FindNext);
    AddNormal('F', Ct, 26, H::ExecuteDialog);
    AddNormal('R', Ct, 27, H::ExecuteDialog);
    AddNormal(Vk::Down, Ct, 50, H::ExecuteCommand);
    AddNormal(Vk::Up, Ct, 49, H::ExecuteCommand);
    AddNormal('Z', Ct, 20, H::UndoCommand);
    AddNormal('Y', Sh | Ct, 11, H::DeleteCommand);
    AddNormal('Y', Ct, 48, H::DeleteCommand);
    AddNormal('L', Ct, 26, H::FindNext);
    AddNormal('I', Ct, 18, H::LineCommand);
    AddNormal('N', Ct, 51, H::CharCommand);
    AddNormal('T', Ct, 67, H::DeleteCommand);
    AddNormal('Z', Sh | Ct, 21, H::UndoCommand);
    AddNormal('I', Sh | Ct, 33, H::ExecuteBlockCommand);
    AddNormal('U', Sh | Ct, 37, H::ExecuteBlockCommand);
}

void TEasyKeyList::InstallClassicKeys()
{
    ClearKeys();
    AddBaseSet(1, true);
    AddBlockSet();
    AddExtraSet();
    struct Entry {
        char Key;
        H Handler;
        uint8_t Command;
    };
    static constexpr Entry ctrlKeys[] = {
        {'A', H::ExecuteCommand, 8}, {'C', H::ExecuteCommand, 15}, {'D', H::ExecuteCommand, 3},
        {'E', H::ExecuteCommand, 0}, {'F', H::ExecuteCommand, 9},  {'G', H::DeleteCommand, 3},
        {'H', H::DeleteCommand, 2},  {'I', H::LineCommand, 18},    {'L', H::FindNext, 26},
        {'N', H::LineCommand, 16},   {'R', H::ExecuteCommand, 4},  {'S', H::ExecuteCommand, 2},
        {'T', H::DeleteCommand, 67}, {'V', H::ToggleCommand, 53},  {'W', H::ExecuteCommand, 5},
        {'X', H::ExecuteCommand, 1}, {'Y', H::DeleteCommand, 48},  {'Z', H::ExecuteCommand, 0},
    };
    for (const Entry& entry : ctrlKeys)
        AddNormal(uint16_t(entry.Key), Ct, entry.Command, entry.Handler);
    AddNormal('S', Sh | Ct, 26, H::FindNext);
    AddNormal(Vk::Back, Sh, 2, H::DeleteCommand);
    AddAnyState(Vk::Home, Ct, 14, H::ExecuteCommand);
    AddAnyState(Vk::End, Ct, 15, H::ExecuteCommand);
    AddAnyState(Vk::Prior, Ct, 12, H::ExecuteCommand);
    AddAnyState(Vk::Next, Ct, 13, H::ExecuteCommand);
}

void TEasyKeyList::InstallBriefKeys()
{
    ClearKeys();
    AddBaseSet(2, false);
    AddNormal(Vk::Subtract, None, 23, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, None, 24, H::ExecuteBlockCommand);
    AddNormal(Vk::Add, None, 22, H::ExecuteBlockCommand);
    AddNormal(Vk::Multiply, None, 20, H::UndoCommand);
    AddNormal('A', Ct, 11, H::ExecuteBlockCommand);
    AddNormal('B', Ct, 15, H::ExecuteCommand);
    AddNormal('C', Ct, 52, H::ExecuteCommand);
    AddNormal('D', Ct, 5, H::ExecuteCommand);
    AddNormal('E', Ct, 4, H::ExecuteCommand);
    AddNormal('K', Ct, 10, H::DeleteCommand);
    AddNormal('M', Ct, 16, H::LineCommand);
    AddNormal('T', Ct, 14, H::ExecuteCommand);
    AddNormal('U', Ct, 21, H::UndoCommand);
    AddNormal(Vk::Back, Ct, 8, H::DeleteCommand);
    AddNormal(Vk::Return, Ct, 51, H::CharCommand);
    AddNormal('D', Al, 48, H::DeleteCommand);
    AddNormal('G', Al, 28, H::ExecuteDialog);
    AddNormal('I', Al, 53, H::ToggleCommand);
    AddNormal('K', Al, 11, H::DeleteCommand);
    AddNormal('U', Al, 20, H::UndoCommand);
    AddNormal(Vk::Back, Al, 9, H::DeleteCommand);
    AddKey('O', Ct, 3, 0, 0, H::None);
    AddKey('O', Ct, 0, 3, 46, H::ExecuteBlockCommand);
    AddNormal(Vk::F5, None, 26, H::ExecuteDialog);
    AddNormal(Vk::F6, None, 27, H::ExecuteDialog);
    AddNormal(Vk::F5, Al, 26, H::ExecuteDialog);
    AddNormal(Vk::F6, Al, 27, H::ExecuteDialog);
    AddNormal(Vk::F5, Sh, 26, H::FindNext);
    AddNormal(Vk::F6, Sh, 27, H::FindNext);
    AddNormal(Vk::F5, Ct, 54, H::ToggleCommand);
    AddNormal(Vk::F6, Ct, 55, H::ToggleCommand);
    AddNormal('S', Al, 26, H::ExecuteDialog);
    AddNormal('S', Ct, 26, H::FindNext);
    AddNormal('T', Al, 27, H::ExecuteDialog);
    AddAnyState(Vk::Home, Sh, 10, H::ExecuteCommand);
    AddAnyState(Vk::End, Ct, 15, H::ExecuteCommand);
    AddAnyState(Vk::Home, Ct, 14, H::ExecuteCommand);
    AddAnyState(Vk::End, Sh, 11, H::ExecuteCommand);
    AddAnyState(Vk::Prior, Ct, 12, H::ExecuteCommand);
    AddAnyState(Vk::Next, Ct, 13, H::ExecuteCommand);
    for (uint8_t n = 0; n <= 9; ++n) {
        const uint16_t digit = uint16_t('0' + n);
        AddNormal(digit, Al, n, H::SetBookmarkCommand);
        AddKey(digit, Al, 0, 4, n, H::GotoBookmarkCommand);
        AddKey(digit, None, 0, 4, n, H::GotoBookmarkCommand);
    }
    AddKey('J', Al, 4, 0, 0, H::None);
    // Marking modes: 5 extends a stream selection, 6 a block, until Esc.
    AddKey('A', Al, 5, 0, 56, H::MoveExtendingSelection);
    AddKey('C', Al, 6, 0, 57, H::MoveExtendingColumnSelection);
    AddKey('L', Al, 5, 0, 34, H::ExecuteBlockCommand);
    AddKey('M', Al, 5, 0, 3, H::MoveExtendingSelection);
    struct Move {
        uint16_t Key;
        uint8_t Command;
    };
    static constexpr Move moves[] = {{Vk::Up, 0},    {Vk::Down, 1}, {Vk::Left, 2},  {Vk::Right, 3},
                                     {Vk::Prior, 4}, {Vk::Next, 5}, {Vk::Home, 10}, {Vk::End, 11}};
    for (const Move& move : moves) {
        AddKey(move.Key, None, 5, 5, move.Command, H::MoveExtendingSelection);
        AddKey(move.Key, None, 6, 6, move.Command, H::MoveExtendingColumnSelection);
    }
    AddKey(Vk::Escape, None, 0, 5, 58, H::ExecuteBlockCommand);
    AddKey(Vk::Escape, None, 0, 6, 58, H::ExecuteBlockCommand);
    // Home Home goes to the text start, End End to its end.
    AddKey(Vk::Home, None, 7, 0, 10, H::ExecuteCommand);
    AddKey(Vk::End, None, 7, 0, 11, H::ExecuteCommand);
    AddKey(Vk::Home, None, 0, 7, 12, H::ExecuteCommand);
    AddKey(Vk::End, None, 0, 7, 13, H::ExecuteCommand);
}

void TEasyKeyList::InstallEpsilonKeys()
{
    ClearKeys();
    AddBaseSet(3, true);
    AddNormal('Y', Ct, 24, H::ExecuteBlockCommand);
    AddNormal('W', Al, 22, H::ExecuteBlockCommand);
    AddNormal('W', Ct, 23, H::ExecuteBlockCommand);
    AddNormal('H', Ct, 2, H::DeleteCommand);
    AddNormal('H', Al | Ct, 8, H::DeleteCommand);
    AddNormal('D', Ct, 3, H::DeleteCommand);
    AddNormal('D', Al, 9, H::DeleteCommand);
    AddNormal('C', Al, 59, H::ExecuteBlockCommand);
    AddNormal('M', Ct, 16, H::LineCommand);
    AddNormal('O', Ct, 51, H::CharCommand);
    AddNormal('L', Al, 31, H::ExecuteBlockCommand);
    AddNormal('U', Al, 32, H::ExecuteBlockCommand);
    AddNormal('F', Al, 9, H::ExecuteCommand);
    AddKey('X', Ct, 8, 0, 0, H::None);
    AddKey('G', None, 0, 8, 28, H::ExecuteDialog);
    AddKey('G', Ct, 0, 8, 28, H::ExecuteDialog);
    AddKey('N', Ct, 0, 8, 26, H::ExecuteDialog);
    AddKey('R', None, 0, 8, 21, H::UndoCommand);
    AddKey('R', Ct, 0, 8, 21, H::UndoCommand);
    AddKey('U', None, 0, 8, 20, H::UndoCommand);
    AddKey('U', Ct, 0, 8, 20, H::UndoCommand);
    AddKey('0', Ct, 0, 8, 60, H::DeleteCommand);
    AddKey(Vk::Tab, Ct, 0, 8, 33, H::ExecuteBlockCommand);
    AddNormal(Vk::F10, Ct, 21, H::UndoCommand);
    AddNormal(Vk::F9, Ct, 20, H::UndoCommand);
    AddNormal(Vk::Insert, None, 53, H::ToggleCommand);
    AddNormal(Vk::Back, Al, 8, H::DeleteCommand);
    AddNormal('B', Ct, 2, H::ExecuteCommand);
    AddNormal('F', Ct, 3, H::ExecuteCommand);
    AddNormal('B', Al, 8, H::ExecuteCommand);
    AddNormal('F', Al, 9, H::ExecuteCommand);
    AddNormal('A', Ct, 10, H::ExecuteCommand);
    AddNormal('E', Ct, 11, H::ExecuteCommand);
    AddNormal('P', Ct, 0, H::ExecuteCommand);
    AddNormal('N', Ct, 1, H::ExecuteCommand);
    AddNormal('V', Ct, 5, H::ExecuteCommand);
    AddNormal('V', Al, 4, H::ExecuteCommand);
    AddNormal('Z', Al, 50, H::ExecuteCommand);
    AddNormal('Z', Ct, 49, H::ExecuteCommand);
    AddNormal('S', Al | Ct, 26, H::ExecuteDialog);
    AddNormal('R', Al | Ct, 27, H::ExecuteDialog);
    AddNormal('5', Sh | Al, 26, H::ExecuteDialog);
    AddNormal('7', Sh | Al, 27, H::ExecuteDialog);
    AddNormal(Vk::Home, None, 14, H::ExecuteCommand);
    AddNormal(Vk::End, None, 15, H::ExecuteCommand);
    AddNormal(Vk::Home, Ct, 12, H::ExecuteCommand);
    AddNormal(Vk::End, Ct, 13, H::ExecuteCommand);
    AddNormal(Vk::F6, Ct, 5, H::ExecuteCommand);
    AddNormal(Vk::F6, Sh | Ct, 5, H::ExecuteCommand);
    AddNormal(Vk::Subtract, Al, 14, H::ExecuteCommand);
}

void TEasyKeyList::InstallVisualStudioKeys()
{
    ClearKeys();
    AddBaseSet(4, true);
    AddBlockSet();
    AddNormal(Vk::Delete, Sh, 23, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, Sh, 24, H::ExecuteBlockCommand);
    AddNormal(Vk::Insert, Ct, 22, H::ExecuteBlockCommand);
    AddNormal('X', Ct, 23, H::ExecuteBlockCommand);
    AddNormal('V', Ct, 24, H::ExecuteBlockCommand);
    AddNormal('C', Ct, 22, H::ExecuteBlockCommand);
    AddNormal(Vk::F3, None, 26, H::FindNext);
    AddNormal('F', Ct, 26, H::ExecuteDialog);
    AddNormal('G', Al, 28, H::ExecuteDialog);
    AddNormal('H', Ct, 27, H::ExecuteDialog);
    AddNormal('I', Ct, 26, H::FindNext);
    AddNormal('L', Ct, 48, H::DeleteCommand);
    AddNormal('T', Ct, 8, H::DeleteCommand);
    AddNormal('Y', Ct, 48, H::DeleteCommand);
    AddNormal('Y', Sh | Ct, 11, H::DeleteCommand);
    AddNormal('Z', Ct, 20, H::UndoCommand);
    AddNormal('Z', Sh | Ct, 21, H::UndoCommand);
    AddKey('E', Ct, 0, 1, 36, H::ExecuteBlockCommand);
    AddKey('F', Ct, 0, 1, 35, H::ExecuteBlockCommand);
    AddNormal(Vk::Down, Ct, 50, H::ExecuteCommand);
    AddNormal(Vk::Up, Ct, 49, H::ExecuteCommand);
    AddKey('A', None, 0, 2, 27, H::ExecuteDialog);
    AddKey('F', None, 0, 2, 26, H::ExecuteDialog);
    AddKey('Y', None, 0, 2, 11, H::DeleteCommand);
    AddKey(Vk::CloseBracket, None, 0, 2, 61, H::ExecuteCommand);
    AddKey(Vk::CloseBracket, Ct, 0, 2, 61, H::ExecuteCommand);
    AddKey(Vk::OpenBracket, None, 0, 2, 62, H::ExecuteCommand);
    AddKey(Vk::OpenBracket, Ct, 0, 2, 62, H::ExecuteCommand);
    AddNormal(Vk::CloseBracket, Al, 61, H::ExecuteCommand);
    AddNormal(Vk::OpenBracket, Al, 62, H::ExecuteCommand);
    AddNormal(Vk::F3, Al, 26, H::ExecuteDialog);
    AddNormal(Vk::Back, Ct, 8, H::DeleteCommand);
    AddNormal(Vk::Insert, None, 53, H::ToggleCommand);
    AddNormal(Vk::Back, Al, 20, H::UndoCommand);
    AddNormal(Vk::Back, Sh | Al, 21, H::UndoCommand);
    AddNormal('I', Sh | Ct, 33, H::ExecuteBlockCommand);
    AddNormal('U', Sh | Ct, 37, H::ExecuteBlockCommand);
    AddNormal(Vk::Delete, Ct, 41, H::ExecuteBlockCommand);
    AddAnyState(Vk::Home, None, 10, H::ExecuteCommand);
    AddAnyState(Vk::End, None, 11, H::ExecuteCommand);
    AddAnyState(Vk::Home, Ct, 12, H::ExecuteCommand);
    AddAnyState(Vk::End, Ct, 13, H::ExecuteCommand);
    AddAnyState(Vk::Prior, Ct, 14, H::ExecuteCommand);
    AddAnyState(Vk::Next, Ct, 15, H::ExecuteCommand);
}

void TEasyKeyList::InstallKeyMapping(TEasyKeyMapping mapping)
{
    switch (mapping) {
    case TEasyKeyMapping::kmDefault:
        InstallDefaultKeys();
        break;
    case TEasyKeyMapping::kmClassic:
        InstallClassicKeys();
        break;
    case TEasyKeyMapping::kmBrief:
        InstallBriefKeys();
        break;
    case TEasyKeyMapping::kmEpsilon:
        InstallEpsilonKeys();
        break;
    case TEasyKeyMapping::kmVisualStudio:
        InstallVisualStudioKeys();
        break;
    case TEasyKeyMapping::kmOther:
        ClearKeys();
        break;
    }
}

}  // namespace qrv

#pragma once
// TEasyKeyList: the editor's key table. A key, its modifiers and the current
// prefix state select a command code, the group of editor methods that
// carries it out and the prefix state that follows. Prefix states give
// two-key sequences (Ctrl+K then B) and modal key sets (marking modes).
// Five built-in key maps fill the table. Portable: the editor control maps
// each handler group to its own method.

#include "editor/EasyUtils.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qrv {

// The editor method a binding calls with its command code.
enum class TEasyKeyHandler : uint8_t {
    None,
    ExecuteCommand,                // M: caret movement and scrolling
    MoveExtendingSelection,        // S: movement extending a stream selection
    MoveExtendingColumnSelection,  // B: movement extending a block selection
    ExecuteBlockCommand,           // K: block, clipboard and case commands
    DeleteCommand,                 // D
    CharCommand,                   // C
    LineCommand,                   // L
    UndoCommand,                   // U
    ExecuteDialog,                 // F
    FindNext,                      // N
    ToggleCommand,                 // O
    InsertCodeTemplate,            // T
    SetBookmarkCommand,            // BS
    GotoBookmarkCommand,           // BG
    JumpToMatchingBracket,         // X1
    StartIncrementalSearch,        // X2
};

enum class TEasyKeyMapping : uint8_t { kmDefault, kmClassic, kmBrief, kmEpsilon, kmVisualStudio, kmOther };

// Virtual-key codes the key maps bind (the values of the system's VK_ codes).
namespace EasyVk {
constexpr uint16_t Back = 0x08, Tab = 0x09, Return = 0x0D, Escape = 0x1B, Prior = 0x21, Next = 0x22, End = 0x23,
                   Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Insert = 0x2D, Delete = 0x2E,
                   Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, F3 = 0x72, F5 = 0x74, F6 = 0x75, F9 = 0x78, F10 = 0x79,
                   OpenBracket = 219, CloseBracket = 221;
}  // namespace EasyVk

// A binding's state for every prefix state.
constexpr int8_t AnyKeyState = -1;

struct TEasyKeyData {
    uint16_t Key = 0;           // virtual-key code
    TEasyShiftState Shift = 0;  // ssShift, ssAlt, ssCtrl: exactly these down
    int8_t State = 0;           // prefix state it applies in, or AnyKeyState
    uint8_t NextState = 0;      // state after the key (0 = normal)
    TEasyKeyHandler Handler = TEasyKeyHandler::None;
    uint8_t Command = 0;
};

class TEasyKeyList {
public:
    // Answers which virtual key (low byte) and shift keys (high byte) type
    // a character in the current keyboard layout, -1 when none does. The
    // editor sets VkKeyScanW; tests set a fixed answer.
    using TKeyScan = std::function<int16_t(char16_t)>;

    explicit TEasyKeyList(TKeyScan keyScan = {}) : keyScan_(std::move(keyScan)) {}

    int Count() const { return static_cast<int>(keys_.size()); }
    const TEasyKeyData& Items(int index) const { return keys_.at(static_cast<size_t>(index)); }

    // Inserts in order; a binding with the same key, modifiers and state is
    // replaced.
    void AddKey(uint16_t key, TEasyShiftState shift, uint8_t nextState, int8_t state, uint8_t command,
                TEasyKeyHandler handler);
    void AddAnyState(uint16_t key, TEasyShiftState shift, uint8_t command, TEasyKeyHandler handler);
    void AddNormal(uint16_t key, TEasyShiftState shift, uint8_t command, TEasyKeyHandler handler);

    // Among the bindings of the key and modifiers, the last in list order
    // that applies in any state or in this state: an exact-state binding
    // wins over an any-state one. -1 / nullptr when there is none.
    int FindBinding(uint16_t key, TEasyShiftState shift, int state) const;
    const TEasyKeyData* GetBinding(uint16_t key, TEasyShiftState shift, int state) const;

    void ClearKeys() { keys_.clear(); }

    void InstallDefaultKeys();
    void InstallClassicKeys();
    void InstallBriefKeys();
    void InstallEpsilonKeys();
    void InstallVisualStudioKeys();
    // Clears and installs the map; kmOther leaves the list empty.
    void InstallKeyMapping(TEasyKeyMapping mapping);

private:
    void AddBaseSet(int map, bool withPrefixSet);
    void AddSelectionSet(int map);
    void AddPrefixSet();
    void AddExtraSet();
    void AddBlockSet();

    TKeyScan keyScan_;
    std::vector<TEasyKeyData> keys_;  // by Key, then Shift, then State (signed)
};

}  // namespace qrv

#include "editor/EasyKeyList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qrv {
namespace {

using H = TEasyKeyHandler;
namespace Vk = EasyVk;

// A keyboard layout where the "[" key types "[" without modifiers.
int16_t UsLayout(char16_t ch)
{
    return ch == u'[' ? int16_t(Vk::OpenBracket) : int16_t(-1);
}

struct Press {
    uint16_t Key;
    TEasyShiftState Shift;
};

struct Outcome {
    H Handler;
    int Command;
    int State;
};

// Feeds the keys as the editor does: a found binding sets the next state,
// a key without binding returns to state 0. The outcome of the last key.
Outcome RunKeys(const TEasyKeyList& list, const std::vector<Press>& keys, int& state)
{
    Outcome last{H::None, -1, 0};
    for (const Press& press : keys) {
        const TEasyKeyData* binding = list.GetBinding(press.Key, press.Shift, state);
        if (!binding) {
            state = 0;
            last = {H::None, -1, 0};
            continue;
        }
        state = binding->NextState;
        last = {binding->Handler, binding->Command, state};
    }
    return last;
}

struct SequenceCase {
    const char* Name;
    TEasyKeyMapping Map;
    std::vector<Press> Keys;
    H Handler;
    int Command;
    int FinalState;
};

class KeySequences : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(KeySequences, GiveHandlerCommandAndState)
{
    const SequenceCase& c = GetParam();
    TEasyKeyList list(UsLayout);
    list.InstallKeyMapping(c.Map);
    int state = 0;
    const Outcome outcome = RunKeys(list, c.Keys, state);
    EXPECT_EQ(outcome.Handler, c.Handler);
    EXPECT_EQ(outcome.Command, c.Command);
    EXPECT_EQ(state, c.FinalState);
}

constexpr TEasyShiftState N = 0, S = ssShift, A = ssAlt, C = ssCtrl;
using M = TEasyKeyMapping;

INSTANTIATE_TEST_SUITE_P(
    Maps, KeySequences,
    ::testing::Values(
        SequenceCase{"DefaultCtrlKB", M::kmDefault, {{'K', C}, {'B', N}}, H::ExecuteBlockCommand, 29, 0},
        SequenceCase{"DefaultCtrlKCtrlB", M::kmDefault, {{'K', C}, {'B', C}}, H::ExecuteBlockCommand, 29, 0},
        SequenceCase{"DefaultCtrlKEntersState1", M::kmDefault, {{'K', C}}, H::None, 0, 1},
        SequenceCase{"DefaultCtrlQCtrlY", M::kmDefault, {{'Q', C}, {'Y', C}}, H::DeleteCommand, 11, 0},
        SequenceCase{"DefaultCtrlY", M::kmDefault, {{'Y', C}}, H::DeleteCommand, 48, 0},
        SequenceCase{"DefaultCtrlK5SetsBookmark", M::kmDefault, {{'K', C}, {'5', N}}, H::SetBookmarkCommand, 5, 0},
        SequenceCase{"DefaultCtrl5GoesToBookmark", M::kmDefault, {{'5', C}}, H::GotoBookmarkCommand, 5, 0},
        SequenceCase{"DefaultCtrlShift3SetsBookmark", M::kmDefault, {{'3', S | C}}, H::SetBookmarkCommand, 3, 0},
        SequenceCase{"DefaultCtrlOCtrlG", M::kmDefault, {{'O', C}, {'G', C}}, H::ExecuteDialog, 28, 0},
        SequenceCase{"DefaultBracketKeyJumps", M::kmDefault, {{Vk::OpenBracket, C}}, H::JumpToMatchingBracket, 0, 0},
        SequenceCase{"DefaultUnboundKeyResets", M::kmDefault, {{'K', C}, {'W', A}}, H::None, -1, 0},
        SequenceCase{"DefaultShiftCtrlHome", M::kmDefault, {{Vk::Home, S | C}}, H::MoveExtendingSelection, 12, 0},
        SequenceCase{"ClassicCtrlA", M::kmClassic, {{'A', C}}, H::ExecuteCommand, 8, 0},
        SequenceCase{"ClassicCtrlE", M::kmClassic, {{'E', C}}, H::ExecuteCommand, 0, 0},
        SequenceCase{"ClassicShiftCtrlHome", M::kmClassic, {{Vk::Home, S | C}}, H::MoveExtendingSelection, 14, 0},
        SequenceCase{"ClassicBlockShiftAltCtrlEnd",
                     M::kmClassic,
                     {{Vk::End, S | A | C}},
                     H::MoveExtendingColumnSelection,
                     15,
                     0},
        SequenceCase{"BriefAltA", M::kmBrief, {{'A', A}}, H::MoveExtendingSelection, 56, 5},
        SequenceCase{"BriefAltADown", M::kmBrief, {{'A', A}, {Vk::Down, N}}, H::MoveExtendingSelection, 1, 5},
        SequenceCase{
            "BriefAltADownEsc", M::kmBrief, {{'A', A}, {Vk::Down, N}, {Vk::Escape, N}}, H::ExecuteBlockCommand, 58, 0},
        SequenceCase{"BriefHome", M::kmBrief, {{'A', A}, {Vk::Escape, N}, {Vk::Home, N}}, H::ExecuteCommand, 10, 7},
        SequenceCase{"BriefHomeHome",
                     M::kmBrief,
                     {{'A', A}, {Vk::Escape, N}, {Vk::Home, N}, {Vk::Home, N}},
                     H::ExecuteCommand,
                     12,
                     0},
        SequenceCase{"BriefUpInState5", M::kmBrief, {{'A', A}, {Vk::Up, N}}, H::MoveExtendingSelection, 0, 5},
        SequenceCase{"BriefUpNormal", M::kmBrief, {{Vk::Up, N}}, H::ExecuteCommand, 0, 0},
        SequenceCase{
            "BriefAltCBlockMode", M::kmBrief, {{'C', A}, {Vk::Right, N}}, H::MoveExtendingColumnSelection, 3, 6},
        SequenceCase{"BriefAltJDigit", M::kmBrief, {{'J', A}, {'4', N}}, H::GotoBookmarkCommand, 4, 0},
        SequenceCase{"BriefNoCtrlKPrefix", M::kmBrief, {{'K', C}}, H::DeleteCommand, 10, 0},
        SequenceCase{"EpsilonCtrlXCtrlG", M::kmEpsilon, {{'X', C}, {'G', C}}, H::ExecuteDialog, 28, 0},
        SequenceCase{"EpsilonCtrlXU", M::kmEpsilon, {{'X', C}, {'U', N}}, H::UndoCommand, 20, 0},
        SequenceCase{"EpsilonCtrlA", M::kmEpsilon, {{'A', C}}, H::ExecuteCommand, 10, 0},
        SequenceCase{"EpsilonHome", M::kmEpsilon, {{Vk::Home, N}}, H::ExecuteCommand, 14, 0},
        SequenceCase{
            "VisualStudioCtrlQBracket", M::kmVisualStudio, {{'Q', C}, {Vk::CloseBracket, N}}, H::ExecuteCommand, 61, 0},
        SequenceCase{"VisualStudioCtrlKCtrlE", M::kmVisualStudio, {{'K', C}, {'E', C}}, H::ExecuteBlockCommand, 36, 0},
        SequenceCase{"VisualStudioCtrlDel", M::kmVisualStudio, {{Vk::Delete, C}}, H::ExecuteBlockCommand, 41, 0},
        SequenceCase{"VisualStudioNoExtraSet", M::kmVisualStudio, {{'E', C}}, H::None, -1, 0}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.Name); });

TEST(EasyKeyList, ListStaysOrderedWithoutDuplicates)
{
    for (M map : {M::kmDefault, M::kmClassic, M::kmBrief, M::kmEpsilon, M::kmVisualStudio}) {
        TEasyKeyList list(UsLayout);
        list.InstallKeyMapping(map);
        ASSERT_GT(list.Count(), 0);
        for (int i = 1; i < list.Count(); ++i) {
            const TEasyKeyData& a = list.Items(i - 1);
            const TEasyKeyData& b = list.Items(i);
            const auto ka = std::make_tuple(a.Key, a.Shift, a.State);
            const auto kb = std::make_tuple(b.Key, b.Shift, b.State);
            EXPECT_LT(ka, kb) << "map " << int(map) << " at " << i;
        }
    }
    TEasyKeyList list;
    list.InstallKeyMapping(M::kmOther);
    EXPECT_EQ(list.Count(), 0);
}

TEST(EasyKeyList, ReAddingReplacesAndExactStateBeatsAnyState)
{
    TEasyKeyList list;
    list.AddAnyState(Vk::Up, 0, 0, H::ExecuteCommand);
    list.AddKey(Vk::Up, 0, 5, 5, 7, H::MoveExtendingSelection);
    EXPECT_EQ(list.GetBinding(Vk::Up, 0, 5)->Command, 7);
    EXPECT_EQ(list.GetBinding(Vk::Up, 0, 3)->Command, 0);
    EXPECT_EQ(list.GetBinding(Vk::Up, 0, 0)->Command, 0);
    EXPECT_EQ(list.FindBinding(Vk::Up, ssCtrl, 0), -1);

    list.AddKey(Vk::Up, 0, 0, 5, 9, H::DeleteCommand);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetBinding(Vk::Up, 0, 5)->Command, 9);
    EXPECT_EQ(list.GetBinding(Vk::Up, 0, 5)->Handler, H::DeleteCommand);
    // The top bit of a shift byte is not a modifier.
    EXPECT_EQ(list.GetBinding(Vk::Up, 0x80, 5)->Command, 9);
}

TEST(EasyKeyList, BracketJumpFollowsTheLayout)
{
    // "[" typed by AltGr+8 (Ctrl+Alt, code 0x0638).
    TEasyKeyList german([](char16_t ch) { return ch == u'[' ? int16_t(0x0638) : int16_t(-1); });
    german.InstallDefaultKeys();
    EXPECT_EQ(german.GetBinding('8', ssCtrl, 0)->Handler, H::JumpToMatchingBracket);
    EXPECT_EQ(german.GetBinding(Vk::OpenBracket, ssCtrl, 0)->Command, 61);

    // No key types "[": no binding, nothing bound to key 255.
    TEasyKeyList none([](char16_t) { return int16_t(-1); });
    none.InstallDefaultKeys();
    for (int i = 0; i < none.Count(); ++i)
        EXPECT_NE(none.Items(i).Handler, H::JumpToMatchingBracket);
    EXPECT_EQ(none.FindBinding(0xFF, ssCtrl, 0), -1);
    EXPECT_EQ(none.GetBinding(Vk::OpenBracket, ssCtrl, 0)->Command, 61);
}

}  // namespace
}  // namespace qrv

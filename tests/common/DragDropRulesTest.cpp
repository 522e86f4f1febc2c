#include "common/DragDropRules.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

TEST(DropEffectRule, KeysAndAllowedEffectsChooseTheEffect)
{
    struct Case {
        uint32_t keys, target, source;
        uint32_t expected;
    };
    const uint32_t all = kDropEffectsAll;
    const Case cases[] = {
        {0, all, all, deCopy},
        {dkShift, all, all, deMove},
        {dkShift | dkControl, all, all, deLink},
        {dkControl, all, all, deCopy},
        {0, deMove | deLink, all, deMove},
        {0, all, deLink, deLink},
        {dkShift, deCopy, all, deCopy},  // no move at the target: the first allowed
        {dkShift, all, deCopy, deCopy},  // the source does not offer moving
        {dkShift | dkControl, deCopy | deMove, all, deCopy},
        {0, deCopy, deMove, deNone},
        {0, 0, all, deNone},
    };
    for (const Case& c : cases) {
        TEffectQuery query;
        query.Keys = c.keys;
        query.TargetEffects = c.target;
        query.SourceEffects = c.source;
        query.Accepted = true;
        EXPECT_EQ(DropEffectFor(query), c.expected) << c.keys << " " << c.target << " " << c.source;
    }
}

TEST(DropEffectRule, OwnDragAcceptanceAndScrolling)
{
    TEffectQuery query;
    query.TargetEffects = query.SourceEffects = kDropEffectsAll;
    query.Accepted = true;
    query.OwnDrag = true;
    EXPECT_EQ(DropEffectFor(query), deNone) << "own drag without AcceptOwnDnD";
    query.AcceptOwnDrag = true;
    EXPECT_EQ(DropEffectFor(query), deCopy);
    query.Scrolling = true;
    EXPECT_EQ(DropEffectFor(query), deCopy | kDropEffectScroll);
    query.Accepted = false;
    EXPECT_EQ(DropEffectFor(query), deNone) << "data not accepted";
}

TEST(ContinueDragRule, EscapeAndButtons)
{
    EXPECT_EQ(ContinueDragFor(false, dkLeftButton), TContinueDrag::Continue);
    EXPECT_EQ(ContinueDragFor(false, dkRightButton | dkShift), TContinueDrag::Continue);
    EXPECT_EQ(ContinueDragFor(false, dkShift), TContinueDrag::Drop);
    EXPECT_EQ(ContinueDragFor(true, dkLeftButton), TContinueDrag::Cancel);
    EXPECT_EQ(ContinueDragFor(false, dkLeftButton | dkRightButton), TContinueDrag::Cancel);
}

TEST(DragResultRule, EffectsMapToResults)
{
    EXPECT_EQ(DragResultFor(true, deCopy, true), drCopy);
    EXPECT_EQ(DragResultFor(true, deMove, true), drMove);
    EXPECT_EQ(DragResultFor(true, deLink, false), drLink);
    EXPECT_EQ(DragResultFor(true, deMove | kDropEffectScroll, true), drMove);
    EXPECT_EQ(DragResultFor(true, deNone, true), drMove) << "an optimised move";
    EXPECT_EQ(DragResultFor(true, deNone, false), drCancel);
    EXPECT_EQ(DragResultFor(false, deCopy, true), drCancel);
    EXPECT_EQ(DragResultFor(true, deCopy | deMove, true), drInvalid);
}

TEST(FormatLookUp, ExactMatchOrTheNearestMiss)
{
    const uint32_t hglobal = 1, stream = 4, storage = 8;
    const std::vector<TFormatDesc> offered = {
        {15, false, 1, -1, hglobal},
        {49000, false, 1, 0, stream},
        {49000, false, 4, 1, stream},
    };
    struct Case {
        TFormatDesc request;
        uint32_t checks;
        TFormatMatch match;
        size_t index;
    };
    const uint32_t both = CheckLindex | CheckdwAspect;
    const Case cases[] = {
        {{15, false, 1, -1, hglobal | stream}, both, TFormatMatch::Found, 0},
        {{15, false, 1, -1, storage}, both, TFormatMatch::OtherMedium, 0},
        {{16, false, 1, -1, hglobal}, both, TFormatMatch::NoFormat, 0},
        {{49000, false, 1, 0, stream}, both, TFormatMatch::Found, 1},
        {{49000, false, 4, 1, stream}, both, TFormatMatch::Found, 2},
        {{49000, false, 1, 1, stream}, both, TFormatMatch::OtherIndex, 0},
        {{49000, false, 2, 0, stream}, both, TFormatMatch::OtherAspect, 0},
        {{49000, false, 1, 1, stream}, CheckdwAspect, TFormatMatch::Found, 1},
        {{49000, false, 2, 7, stream}, 0, TFormatMatch::Found, 1},
        {{15, false, 2, 3, hglobal}, 0, TFormatMatch::Found, 0},
    };
    for (const Case& c : cases) {
        const TFormatLookUp found = FindFormat(offered, c.request, c.checks);
        EXPECT_EQ(found.Match, c.match) << c.request.Format << "/" << c.request.Aspect << "/" << c.request.Index;
        if (c.match == TFormatMatch::Found) {
            EXPECT_EQ(found.Index, c.index);
        }
    }
}

TEST(FormatList, IndexOutsideRaisesAndPutReplacesTheSameFormat)
{
    TFormatList list;
    EXPECT_EQ(list.Add({15, false, 1, -1, 1}), 0u);
    EXPECT_EQ(list.Add({16, false, 1, -1, 1}), 1u);
    list.Put({15, false, 1, -1, 4});
    list.Put({17, false, 1, -1, 1});
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Get(0).Media, 4u);
    EXPECT_THROW((void)list.Get(3), EListError);
    EXPECT_THROW(list.Set(3, {}), EListError);
}

TEST(FormatEnumerator, NextSkipResetAndClone)
{
    const std::vector<TFormatDesc> items = {{1}, {2}, {3}};
    TFormatEnumerator e(items);
    std::vector<TFormatDesc> out;
    EXPECT_FALSE(e.Next(0, true, out));
    EXPECT_FALSE(e.Next(2, false, out)) << "more than one needs the count fetched";
    EXPECT_TRUE(e.Next(1, false, out));
    EXPECT_TRUE(e.Next(5, true, out)) << "fewer than asked for";
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].Format, 3u);
    EXPECT_FALSE(e.Next(1, true, out)) << "at the end";
    e.Reset();
    EXPECT_TRUE(e.Skip(2));
    TFormatEnumerator copy = e.Clone();
    out.clear();
    EXPECT_TRUE(copy.Next(1, false, out));
    EXPECT_EQ(out[0].Format, 3u) << "the clone keeps the position";
    EXPECT_FALSE(e.Skip(2));
    EXPECT_FALSE(TFormatEnumerator({}).Next(1, true, out));
}

TEST(DropMenu, ItemsInOrderWithTheEffectsItemAsDefault)
{
    const TDropMenuTexts german = DropMenuTextsFor(0x07);
    auto ids = [](const std::vector<TDropMenuItem>& items) {
        std::vector<int> result;
        for (const TDropMenuItem& item : items) {
            result.push_back(item.Id);
        }
        return result;
    };
    auto defaultId = [](const std::vector<TDropMenuItem>& items) {
        for (const TDropMenuItem& item : items) {
            if (item.Default) {
                return item.Id;
            }
        }
        return -1;
    };
    const auto copyMove = BuildDropMenu(kDropEffectsAll, deCopy | deMove, deCopy, german);
    EXPECT_EQ(ids(copyMove), (std::vector<int>{kDropMenuMove, kDropMenuCopy, kDropMenuSeparator, kDropMenuCancel}));
    EXPECT_EQ(copyMove[0].Text, L"Hierher &verschieben");
    EXPECT_EQ(copyMove[1].Text, L"Hierher &kopieren");
    EXPECT_TRUE(copyMove[2].Text.empty());
    EXPECT_EQ(copyMove[3].Text, L"&Abbrechen");
    EXPECT_EQ(defaultId(copyMove), kDropMenuCopy);

    TEffectQuery shift;
    shift.Keys = dkShift | dkRightButton;
    shift.TargetEffects = kDropEffectsAll;
    shift.SourceEffects = deCopy | deMove;
    shift.Accepted = true;
    EXPECT_EQ(defaultId(BuildDropMenu(kDropEffectsAll, deCopy | deMove, DropEffectFor(shift), german)), kDropMenuMove);

    const auto all = BuildDropMenu(deCopy | deLink, kDropEffectsAll, deLink | kDropEffectScroll, german);
    EXPECT_EQ(ids(all), (std::vector<int>{kDropMenuCopy, kDropMenuLink, kDropMenuSeparator, kDropMenuCancel}));
    EXPECT_EQ(all[1].Text, L"Verknüpfung(en) hier &erstellen");
    EXPECT_EQ(defaultId(all), kDropMenuLink);
}

TEST(DropMenu, TextsByLanguageAndChoices)
{
    EXPECT_EQ(DropMenuTextsFor(0x15).Move, L"&Przenieś tutaj");
    EXPECT_EQ(DropMenuTextsFor(0x0A).Link, L"&Atajo(s) crea aquí ");
    EXPECT_EQ(DropMenuTextsFor(0x09).Copy, L"&Copy Here");
    EXPECT_EQ(DropMenuTextsFor(0x19).Cancel, L"&Abort");
    EXPECT_EQ(EffectOfDropMenuChoice(kDropMenuMove), static_cast<uint32_t>(deMove));
    EXPECT_EQ(EffectOfDropMenuChoice(kDropMenuCopy), static_cast<uint32_t>(deCopy));
    EXPECT_EQ(EffectOfDropMenuChoice(kDropMenuLink), static_cast<uint32_t>(deLink));
    for (const int other : {kDropMenuCancel, kDropMenuSeparator, kDropMenuFirstCustom, -1}) {
        EXPECT_EQ(EffectOfDropMenuChoice(other), static_cast<uint32_t>(deNone)) << other;
    }
}

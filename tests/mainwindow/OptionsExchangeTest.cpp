// The options exchange: the record compared by value and the decisions after
// the dialog, driven by a scripted dialog runner.

#include "mainwindow/OptionsExchange.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qrv;

namespace {

TOptions DefaultRecord()
{
    TOptions options;
    SetDefaultOptions(options, TSystemFacts{});
    return options;
}

// Plays the dialog: applies Edit to the record and closes with Ok.
class TScriptedRunner : public TOptionsDialogRunner {
public:
    std::function<void(TOptions&)> Edit;
    bool Ok = true;
    int PageShown = -1;
    int PageLeft = 3;

    bool Run(TOptions& Options, int& Page) override
    {
        PageShown = Page;
        if (Edit)
            Edit(Options);
        Page = PageLeft;
        return Ok;
    }
};

}  // namespace

TEST(SameOptions, EveryKindOfFieldCounts)
{
    const TOptions base = DefaultRecord();
    EXPECT_TRUE(SameOptions(base, base));
    EXPECT_TRUE(SameOptions(base, TOptions(base)));

    const std::function<void(TOptions&)> edits[] = {
        [](TOptions& o) { o.SelBothFileWin = !o.SelBothFileWin; },
        [](TOptions& o) { o.ShowHiddenDirs = !o.ShowHiddenDirs; },
        [](TOptions& o) { o.TBButtonSize += 1; },
        [](TOptions& o) { o.ActiveColor = 0x123456; },
        [](TOptions& o) { o.DateTime = 2; },
        [](TOptions& o) { o.FKeys[1][11].Params = L"/x"; },
        [](TOptions& o) { o.ListFont.Style = fsBoldBit; },
        [](TOptions& o) { o.TextFont.Name = L"Consolas"; },
        [](TOptions& o) { o.StartDir2 = L"D:\\"; },
        [](TOptions& o) { o.FileDisplayPos = 1; },
        [](TOptions& o) { o.CompareProgPath = L"C:\\cmp.exe"; },
        [](TOptions& o) {
            o.FilterList.push_back({L"Texte", L"*.txt"});
        },
        [](TOptions& o) { o.FrameSize = 0; },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        TOptions changed = base;
        edits[i](changed);
        EXPECT_FALSE(SameOptions(base, changed)) << "edit " << i;
    }
}

TEST(SameOptions, FamiliesCompareByTheirEntries)
{
    const TOptions base = DefaultRecord();
    ASSERT_TRUE(base.ExtLists[TextExts]);

    // A family rebuilt from the same text is a new list with the same entries.
    TOptions rebuilt = base;
    rebuilt.ExtLists[TextExts] = std::make_shared<TStringList>();
    rebuilt.ExtLists[TextExts]->Assign(*base.ExtLists[TextExts]);
    EXPECT_TRUE(SameOptions(base, rebuilt));

    rebuilt.ExtLists[TextExts]->Add(L".NEU");
    EXPECT_FALSE(SameOptions(base, rebuilt));

    TOptions missing = base;
    missing.ExtLists[PictureExts].reset();
    EXPECT_EQ(SameOptions(base, missing), base.ExtLists[PictureExts]->Count() == 0);
}

TEST(ExchangeOptions, UnchangedRecordIsNotApplied)
{
    TOptions options = DefaultRecord();
    const TOptions before = options;
    int page = 2;
    TScriptedRunner runner;
    // The dialog writes every control back with the values it was given.
    runner.Edit = [](TOptions& o) { o.TextFont.Name = std::wstring(o.TextFont.Name); };
    const TOptionsExchangeResult result = ExchangeOptions(options, page, runner);
    EXPECT_FALSE(result.Changed);
    EXPECT_TRUE(SameOptions(options, before));
    EXPECT_EQ(runner.PageShown, 2);
    EXPECT_EQ(page, 3);
}

TEST(ExchangeOptions, ChangesNameWhatTheWindowMustRedo)
{
    struct Case {
        std::function<void(TOptions&)> edit;
        bool showExtension, useRegistry, syncOn, fileDisplay;
        bool fkeys = false, filters = false;
    } cases[] = {
        {[](TOptions& o) { o.ShowExtension = !o.ShowExtension; }, true, false, false, false},
        {[](TOptions& o) { o.UseRegistry = !o.UseRegistry; }, false, true, false, false},
        {[](TOptions& o) { o.SyncDisplay = true; }, false, false, true, false},
        {[](TOptions& o) { o.FileDisplay = 2; }, false, false, false, true},
        {[](TOptions& o) { o.Reload = 3000; }, false, false, false, false},
        // Rows moved or deleted without a cell edit still count.
        {[](TOptions& o) { std::swap(o.FKeys[0][0], o.FKeys[0][1]); }, false, false, false, false, true, false},
        {[](TOptions& o) { o.FKeys[1][3].Command = L"C:\\x.exe"; }, false, false, false, false, true, false},
        {[](TOptions& o) {
             o.FilterList.push_back({L"Texte", L"*.txt"});
         },
         false, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        TOptions options = DefaultRecord();
        options.SyncDisplay = false;
        options.FKeys[0][0].Caption = L"Eins";
        int page = 0;
        TScriptedRunner runner;
        runner.Edit = c.edit;
        const TOptionsExchangeResult result = ExchangeOptions(options, page, runner);
        EXPECT_TRUE(result.Changed);
        EXPECT_EQ(result.ShowExtensionChanged, c.showExtension);
        EXPECT_EQ(result.UseRegistryChanged, c.useRegistry);
        EXPECT_EQ(result.SyncDisplaySwitchedOn, c.syncOn);
        EXPECT_EQ(result.FileDisplayChanged, c.fileDisplay);
        EXPECT_EQ(result.FKeysChanged, c.fkeys);
        EXPECT_EQ(result.FilterListChanged, c.filters);
    }
}

TEST(ExchangeOptions, CancelLeavesTheRecordAsItWas)
{
    TOptions options = DefaultRecord();
    const TOptions before = options;
    int page = 1;
    TScriptedRunner runner;
    runner.Ok = false;
    runner.Edit = [](TOptions& o) {
        o.Reload = 99;
        o.FKeys[0][0].Caption = L"Edit";
        o.FilterList.clear();
    };
    const TOptionsExchangeResult result = ExchangeOptions(options, page, runner);
    EXPECT_FALSE(result.Changed);
    EXPECT_FALSE(result.FKeysChanged);
    EXPECT_FALSE(result.FilterListChanged);
    EXPECT_TRUE(SameOptions(options, before));
    EXPECT_EQ(options.Reload, before.Reload);
    EXPECT_EQ(page, 3);  // the page shown last is remembered either way
}

#include "editor/EasyEditSource.h"
#include "editor/EditorSettings.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

TEST(EasyEditSource, LoadEditAndSaveTheDocument)
{
    test::TestDir dir;
    TEasyEditSource source(nullptr);
    std::vector<TEasyEditSourceStates> heard;
    int view = 0;
    source.AddNotifier(&view, [&](TEasyEditSourceStates states) { heard.push_back(states); });

    source.SetCaretPos(3, 1);
    source.LoadFromFile(dir.Write(L"a.txt", "eins\r\nzwei\r\n"));
    EXPECT_EQ(source.FileName(), dir.File(L"a.txt"));
    EXPECT_EQ(source.Strings().Count(), 2);
    EXPECT_FALSE(source.Modified());
    EXPECT_EQ(source.CaretX(), 0);
    EXPECT_EQ(source.CaretY(), 0);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back() & (csEdit | csCountChanged | csPositionChanged),
              csEdit | csCountChanged | csPositionChanged);

    source.ReplaceAllText(L"eins\r\nzwei\r\ndrei");
    EXPECT_TRUE(source.Modified()) << "an edit modifies the document";
    EXPECT_EQ(source.Strings().Count(), 3);

    source.SaveToFile(dir.File(L"b.txt"));
    EXPECT_EQ(dir.Read(L"b.txt"), "eins\r\nzwei\r\ndrei\r\n");
    EXPECT_EQ(source.FileName(), dir.File(L"b.txt"));
    EXPECT_TRUE(source.Modified()) << "saving leaves the flag to the host";

    // The host clearing the lines starts a fresh document.
    source.Strings().Clear();
    EXPECT_FALSE(source.Modified());

    heard.clear();
    source.SetReadOnly(true);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], csReadOnlyChanged);
    source.SetReadOnly(true);
    EXPECT_EQ(heard.size(), 1u) << "no change, no report";

    EXPECT_THROW(source.LoadFromFile(dir.File(L"fehlt.txt")), EFOpenError);
    EXPECT_EQ(source.FileName(), dir.File(L"fehlt.txt")) << "the name is taken before loading";

    source.RemoveNotifier(&view);
    source.SetReadOnly(false);
    EXPECT_EQ(heard.size(), 1u);
}

TEST(EasyEditSource, TellsItsViewsWhenItGoes)
{
    auto source = std::make_unique<TEasyEditSource>(nullptr);
    bool freed = false;
    int view = 0;
    source->AddNotifier(&view, [&](TEasyEditSourceStates states) { freed = (states & csSourceFreed) != 0; });
    source.reset();
    EXPECT_TRUE(freed);
}

TEST(EditorSettings, LocationDefaultsAndSetters)
{
    EXPECT_FALSE(SettingsUseRegistry());
    EXPECT_EQ(SettingsKey(), L"\\Software\\EasyEdit\\Settings");
    const std::wstring& file = SettingsFileName();
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(file.substr(file.size() - 16), L"EasySettings.txt");
    EXPECT_NE(file, L"EasySettings.txt") << "in the temporary directory";

    SetSettingsFileName(L"C:\\Programme\\Quorvan\\EditorSettings.txt");
    SetSettingsKey(L"\\Software\\Quorvan Free\\EditorSettings");
    SetSettingsUseRegistry(true);
    EXPECT_EQ(SettingsFileName(), L"C:\\Programme\\Quorvan\\EditorSettings.txt");
    EXPECT_EQ(SettingsKey(), L"\\Software\\Quorvan Free\\EditorSettings");
    EXPECT_TRUE(SettingsUseRegistry());
}

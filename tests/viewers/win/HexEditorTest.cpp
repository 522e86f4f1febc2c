#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "viewers/win/HexEditor.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qrv;

namespace {

class HexEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hex = new THexEditor(&form);
        hex->SetParent(&form);
        EXPECT_EQ(hex->FileName(), L"---") << "untitled until its window exists";
        form.HandleNeeded();
        for (int i = 0; i < 40; ++i)
            content += static_cast<char>(i < 20 ? 'a' + i % 26 : 0x80 + i);
        content.replace(10, 5, "WORLD");
        file = dir.Write(L"daten.bin", content);
    }
    test::TestDir dir;
    TForm form{nullptr};
    THexEditor* hex = nullptr;
    std::string content;
    std::wstring file;
};

}  // namespace

TEST_F(HexEditorTest, LoadsFilesAndClosesOnAnEmptyName)
{
    EXPECT_EQ(hex->FileName(), L"");
    EXPECT_EQ(hex->GetDataSize(), 0);
    ASSERT_TRUE(hex->LoadFromFile(file));
    EXPECT_EQ(hex->FileName(), file);
    EXPECT_EQ(hex->GetDataSize(), 40);
    EXPECT_FALSE(hex->Modified());

    SetLastError(0);
    EXPECT_FALSE(hex->LoadFromFile(dir.File(L"fehlt.bin")));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(hex->FileName(), file) << "the document shown stays";
    EXPECT_EQ(hex->GetDataSize(), 40);

    EXPECT_TRUE(hex->LoadFromFile(L""));
    EXPECT_EQ(hex->FileName(), L"");
    EXPECT_EQ(hex->GetDataSize(), 0);
}

TEST_F(HexEditorTest, BytesSelectionAndSearch)
{
    ASSERT_TRUE(hex->LoadFromFile(file));
    int count = 10;
    const std::vector<uint8_t> tail = hex->BufferFromFile(37, count);
    EXPECT_EQ(count, 3) << "cut at the end of the data";
    EXPECT_EQ(std::string(tail.begin(), tail.end()), content.substr(37));
    EXPECT_THROW(hex->BufferFromFile(40, count), ERangeError);

    EXPECT_EQ(hex->GetSelCount(), 0);
    EXPECT_THROW(hex->SetSelStart(40), ERangeError);
    hex->SetSelStart(5);
    EXPECT_EQ(hex->GetCaretOffset(), 5);
    hex->SetSelEnd(2);
    EXPECT_EQ(hex->GetSelStart(), 5);
    EXPECT_EQ(hex->GetSelEnd(), 2);
    EXPECT_EQ(hex->GetSelCount(), 4);
    EXPECT_THROW(hex->SetSelEnd(-1), ERangeError);

    const std::string world = "world";
    const auto* pattern = reinterpret_cast<const uint8_t*>(world.data());
    EXPECT_EQ(hex->Find(pattern, 5, false, true, 39, 0), 10);
    EXPECT_EQ(hex->Find(pattern, 5, false, false, 39, 0), -1) << "case counts";
    EXPECT_EQ(hex->Find(pattern, 5, false, true, 39, 11), -1) << "starts after the match";
    EXPECT_EQ(hex->Find(pattern, 5, false, true, 13, 0), -1) << "the match ends beyond the range";
    const uint8_t high[] = {0x80 + 38, 0x80 + 39};
    EXPECT_EQ(hex->Find(high, 2, false, false, 1000, 0), 38);
}

TEST_F(HexEditorTest, SettersStoreAndRepaint)
{
    HWND window = hex->Handle();
    // Only a window on the screen collects areas to repaint.
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form.Handle());
    struct Case {
        const char* name;
        std::function<void()> set;
        std::function<bool()> stored;
    };
    const Case cases[] = {
        {"Translation", [&] { hex->SetTranslation(TTranslationType::ttEBCDIC); },
         [&] { return hex->Translation() == TTranslationType::ttEBCDIC; }},
        {"OffsetDisplay", [&] { hex->SetOffsetDisplay(TOffsetDisplayStyle::odDec); },
         [&] { return hex->OffsetDisplay() == TOffsetDisplayStyle::odDec; }},
        {"BytesPerLine", [&] { hex->SetBytesPerLine(256); }, [&] { return hex->BytesPerLine() == 256; }},
        {"BytesPerColumn", [&] { hex->SetBytesPerColumn(4); }, [&] { return hex->GetBytesPerColumn() == 4; }},
        {"SwapNibbles", [&] { hex->SetSwapNibbles(true); }, [&] { return hex->SwapNibbles(); }},
        {"ShowMarkerColumn", [&] { hex->SetShowMarkerColumn(false); }, [&] { return !hex->ShowMarkerColumn(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ValidateRect(window, nullptr);
        c.set();
        EXPECT_TRUE(c.stored());
        EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE)) << "the change repaints";
    }
    EXPECT_THROW(hex->SetBytesPerLine(0), ERangeError);
    EXPECT_THROW(hex->SetBytesPerLine(257), ERangeError);
    EXPECT_EQ(hex->BytesPerLine(), 256);

    EXPECT_TRUE(SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
    hex->SetWantTabs(false);
    EXPECT_FALSE(SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    hex->SetAllowInsertMode(true);
    EXPECT_TRUE(hex->AllowInsertMode());
    hex->SetNoSizeChange(true);
    EXPECT_FALSE(hex->AllowInsertMode());
    hex->SetAllowInsertMode(true);
    EXPECT_FALSE(hex->AllowInsertMode()) << "no insert mode while the size may not change";
}

TEST_F(HexEditorTest, ViewModeRules)
{
    ASSERT_TRUE(hex->LoadFromFile(file));
    EXPECT_TRUE(hex->ReadOnlyView());
    try {
        hex->SaveToFile(file);
        ADD_FAILURE() << "the read-only view cannot save";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), L"Der Editor befindet sich im Anzeigemodus. Das Speichern ist daher nicht möglich.");
    }

    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        hex->SetReadOnlyView(false);
        ADD_FAILURE() << "a write-protected file stays in the read-only view";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), L"Die Datei \"daten.bin\" ist schreibgeschützt.");
    }
    EXPECT_TRUE(hex->ReadOnlyView());
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    hex->SetSelStart(7);
    hex->SetReadOnlyView(false);
    EXPECT_FALSE(hex->ReadOnlyView());
    EXPECT_EQ(hex->FileName(), file) << "opened again in the new mode";
    EXPECT_EQ(hex->GetDataSize(), 40);
    EXPECT_EQ(hex->GetCaretOffset(), 7);
}

#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/HexEditorFile.h"

#include "win/MessagePump.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::string ReadFileBytes(const std::wstring& name)
{
    TFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr));
    if (!file)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD done = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &done, nullptr) && done)
        bytes.append(buffer, done);
    return bytes;
}

bool Exists(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::wstring> FilesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return names;
    do {
        names.insert(found.cFileName);
    } while (FindNextFileW(find.Get(), &found));
    return names;
}

// Keys as the keyboard gives them, with Ctrl or Shift held where asked.
class TKeys {
public:
    explicit TKeys(HWND window) : window_(window) {}
    void Press(WORD key, bool ctrl = false, bool shift = false)
    {
        BYTE state[256];
        GetKeyboardState(state);
        BYTE saved[256];
        std::copy(state, state + 256, saved);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(window_, WM_KEYDOWN, key, 1);
        SendMessageW(window_, WM_KEYUP, key, 0xC0000001);
        SetKeyboardState(saved);
    }
    // A key held down (Shift starts a selection).
    void Hold(WORD key)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = 0x80;
        SetKeyboardState(state);
        SendMessageW(window_, WM_KEYDOWN, key, 1);
    }
    void Release(WORD key)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = 0;
        SetKeyboardState(state);
        SendMessageW(window_, WM_KEYUP, key, 0xC0000001);
    }
    void Type(const std::wstring& text)
    {
        for (const wchar_t c : text)
            SendMessageW(window_, WM_CHAR, c, 1);
    }

private:
    HWND window_;
};

class HexEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Working copies go to a temporary folder of the test's own.
        temp = dir.File(L"tmp");
        CreateDirectoryW(temp.c_str(), nullptr);
        savedTmp = Environment(L"TMP");
        savedTemp = Environment(L"TEMP");
        SetEnvironmentVariableW(L"TMP", temp.c_str());
        SetEnvironmentVariableW(L"TEMP", temp.c_str());

        hex = new THexEditor(&form);
        Attach(*hex);
        EXPECT_EQ(hex->FileName(), L"---") << "untitled until its window exists";
        form.SetBounds(0, 0, 700, 400);
        hex->SetBounds(0, 0, 680, 360);
        form.HandleNeeded();
        for (int i = 0; i < 40; ++i)
            content += static_cast<char>(i < 20 ? 'a' + i % 26 : 0x80 + i);
        content.replace(10, 5, "WORLD");
        file = dir.Write(L"daten.bin", content);
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
        SetEnvironmentVariableW(L"TEMP", savedTemp.empty() ? nullptr : savedTemp.c_str());
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    static std::wstring Environment(const wchar_t* name)
    {
        wchar_t value[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
        return length && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
    }
    void Attach(THexEditor& editor)
    {
        editor.SetParent(&form);
        editor.OnQuerySave = [this](const std::wstring& question) {
            questions.push_back(question);
            return answerYes;
        };
        editor.OnSaveError = [this](const std::wstring& message) { errors.push_back(message); };
    }
    void EditMode()
    {
        ASSERT_TRUE(hex->LoadFromFile(file));
        hex->SetReadOnlyView(false);
        ASSERT_FALSE(hex->ReadOnlyView());
    }
    // Overwrites byte 10 with 0xFF by typing in the nibble pane.
    void TypeFF()
    {
        hex->SetSelStart(10);
        TKeys(hex->Handle()).Type(L"Ff");
    }

    test::TestDir dir;
    std::wstring temp, savedTmp, savedTemp;
    std::vector<std::wstring> questions, errors;
    bool answerYes = false;
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
    EXPECT_TRUE(FilesIn(temp).size() == 2) << "the read-only view makes no copy (only . and ..)";

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
    int64_t count = 10;
    const std::vector<uint8_t> tail = hex->BufferFromFile(37, count);
    EXPECT_EQ(count, 3) << "cut at the end of the data";
    EXPECT_EQ(std::string(tail.begin(), tail.end()), content.substr(37));
    EXPECT_THROW(hex->BufferFromFile(40, count), ERangeError);

    EXPECT_EQ(hex->GetSelCount(), 0);
    try {
        hex->SetSelStart(40);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), L"Invalid SelStart");
    }
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

    // With EBCDIC an ANSI pattern is searched in its EBCDIC form.
    const std::string ebcdic = "\xC8\xC5\xE7";  // "HEX"
    ASSERT_TRUE(hex->LoadFromFile(dir.Write(L"ebcdic.bin", "...." + ebcdic + "..")));
    hex->SetTranslation(TTranslationType::ttEBCDIC);
    const std::string text = "hex";
    EXPECT_EQ(hex->Find(reinterpret_cast<const uint8_t*>(text.data()), 3, true, false, 100, 0), -1)
        << "lower case letters are other EBCDIC bytes";
    const std::string upper = "HEX";
    EXPECT_EQ(hex->Find(reinterpret_cast<const uint8_t*>(upper.data()), 3, true, false, 100, 0), 4);
    EXPECT_EQ(hex->HexStringToBytes(L"4a 5"), std::vector<uint8_t>{0x4A});
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
        {"Colors", [&] { hex->Colors().SetOddColumn(clRed); }, [&] { return hex->Colors().OddColumn() == clRed; }},
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
    EXPECT_EQ(hex->ColCount(), 3 * 256 + 3);

    EXPECT_TRUE(SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
    hex->SetWantTabs(false);
    EXPECT_FALSE(SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    hex->SetAllowInsertMode(true);
    EXPECT_TRUE(hex->AllowInsertMode());
    hex->SetNoSizeChange(true);
    EXPECT_FALSE(hex->AllowInsertMode());
    hex->SetAllowInsertMode(true);
    EXPECT_FALSE(hex->AllowInsertMode()) << "no insert mode while the size may not change";
    EXPECT_THROW(hex->SetMarker(10, 0), ERangeError);
}

TEST_F(HexEditorTest, ViewModeRules)
{
    ASSERT_TRUE(hex->LoadFromFile(file));
    EXPECT_TRUE(hex->ReadOnlyView());
    EXPECT_TRUE(hex->WorkingFileName().empty());
    try {
        hex->SaveToFile(file);
        ADD_FAILURE() << "the read-only view cannot save";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), L"Der Editor befindet sich im Anzeigemodus. Das Speichern ist daher nicht möglich.");
    }
    // Typing changes nothing, and Backspace moves left.
    hex->SetSelStart(7);
    TKeys keys(hex->Handle());
    keys.Type(L"00");
    keys.Press(VK_BACK);
    EXPECT_EQ(ReadFileBytes(file), content);
    EXPECT_FALSE(hex->Modified());
    EXPECT_EQ(hex->GetCaretOffset(), 6);

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
    const std::wstring working = hex->WorkingFileName();
    EXPECT_EQ(working.rfind(temp, 0), 0u) << "the working copy is in the temporary folder";
    EXPECT_EQ(ReadFileBytes(working), content);

    hex->SetReadOnlyView(true);
    EXPECT_FALSE(Exists(working)) << "closing an unchanged edit deletes the copy";
    EXPECT_TRUE(Exists(file)) << "and never the document";
}

TEST_F(HexEditorTest, EditAndSaveKeepsABackup)
{
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EditMode();
    TypeFF();
    EXPECT_TRUE(hex->Modified());
    EXPECT_TRUE(hex->IsChanged(10));
    EXPECT_EQ(hex->JournalCount(), 2) << "two nibbles, two changes";
    EXPECT_EQ(hex->JournalDescription(), L"Byte changed");
    EXPECT_EQ(ReadFileBytes(file), content) << "the document is untouched until it is saved";
    std::string edited = content;
    edited[10] = '\xFF';
    EXPECT_EQ(ReadFileBytes(hex->WorkingFileName()), edited);
    const uint8_t ff = 0xFF;
    EXPECT_EQ(hex->Find(&ff, 1, false, false, 1000, 0), 10) << "the search sees the change not yet saved";

    dir.Write(L"daten.bak", "an older backup");
    ASSERT_TRUE(hex->SaveToFile(file));
    EXPECT_EQ(ReadFileBytes(file), edited);
    EXPECT_EQ(ReadFileBytes(dir.File(L"daten.bak")), content) << "the backup holds the old file byte for byte";
    EXPECT_FALSE(hex->Modified());
    EXPECT_FALSE(hex->IsChanged(10));
    EXPECT_EQ(hex->JournalDescription(), L"No Undo");
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "the attributes stay";
    const std::set<std::wstring> files = FilesIn(dir.Path());
    EXPECT_EQ(files, (std::set<std::wstring>{L".", L"..", L"daten.bin", L"daten.bak", L"tmp"}))
        << "nothing is left beside the file";

    // Saving again without changes makes no new backup; a "*.bak" document
    // gets its backup beside it, not onto itself.
    DeleteFileW(dir.File(L"daten.bak").c_str());
    ASSERT_TRUE(hex->SaveToFile(file));
    EXPECT_FALSE(Exists(dir.File(L"daten.bak")));
    const std::wstring bak = dir.Write(L"x.bak", "old");
    hex->SetReadOnlyView(true);
    ASSERT_TRUE(hex->LoadFromFile(bak));
    hex->SetReadOnlyView(false);
    hex->SetSelStart(0);
    TKeys(hex->Handle()).Type(L"4");
    ASSERT_TRUE(hex->SaveToFile(bak));
    EXPECT_EQ(ReadFileBytes(bak), "Old") << "the high nibble of 'o' set to 4";
    EXPECT_EQ(ReadFileBytes(dir.File(L"x.bak.bak")), "old");
}

TEST_F(HexEditorTest, SaveToAWriteProtectedTargetFailsAndKeepsEverything)
{
    EditMode();
    TypeFF();
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    SetLastError(0);
    EXPECT_FALSE(hex->SaveToFile(file));
    EXPECT_NE(GetLastError(), DWORD(0));
    EXPECT_EQ(ReadFileBytes(file), content);
    EXPECT_TRUE(hex->Modified());
    EXPECT_TRUE(hex->IsChanged(10));
    EXPECT_TRUE(Exists(hex->WorkingFileName()));
    EXPECT_EQ(FilesIn(dir.Path()), (std::set<std::wstring>{L".", L"..", L"daten.bin", L"tmp"}));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    answerYes = false;  // the fixture's editor goes without saving
}

TEST_F(HexEditorTest, ClosingWithYesWhenTheSaveFailsKeepsTheDocument)
{
    EditMode();
    TypeFF();
    const std::wstring working = hex->WorkingFileName();
    const std::wstring other = dir.Write(L"andere.bin", "xyz");
    answerYes = true;
    {
        // Another program holds the target open without sharing it.
        TFileHandle held(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(hex->LoadFromFile(other)) << "the load that asked gives false";
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0], L"Die Datei \"daten.bin\" wurde geändert. Sollen die Änderungen gespeichert werden?");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(L"daten.bin"), std::wstring::npos);
        EXPECT_EQ(hex->FileName(), file);
        EXPECT_TRUE(hex->Modified());
        EXPECT_TRUE(Exists(working));
        EXPECT_EQ(hex->WorkingFileName(), working);
    }
    EXPECT_EQ(ReadFileBytes(file), content);
    // Once the file is free, the same close saves and goes on.
    EXPECT_TRUE(hex->LoadFromFile(other));
    std::string edited = content;
    edited[10] = '\xFF';
    EXPECT_EQ(ReadFileBytes(file), edited);
    EXPECT_FALSE(Exists(working));
    EXPECT_EQ(hex->FileName(), other);
}

TEST_F(HexEditorTest, DestructionKeepsAnUnsavedWorkingCopyAndNamesIt)
{
    auto editor = std::make_unique<THexEditor>(nullptr);
    Attach(*editor);
    editor->HandleNeeded();
    ASSERT_TRUE(editor->LoadFromFile(file));
    editor->SetReadOnlyView(false);
    editor->SetSelStart(0);
    TKeys(editor->Handle()).Type(L"00");
    const std::wstring working = editor->WorkingFileName();
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    answerYes = true;
    editor.reset();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(working), std::wstring::npos) << "the message names the copy";
    EXPECT_TRUE(Exists(working));
    EXPECT_EQ(ReadFileBytes(working)[0], '\0');
    EXPECT_EQ(ReadFileBytes(file), content);
    answerYes = false;
}

TEST_F(HexEditorTest, InsertModeTypingAndDeleting)
{
    hex->SetAllowInsertMode(true);
    EditMode();
    TKeys keys(hex->Handle());
    keys.Press(VK_INSERT);
    ASSERT_TRUE(hex->InsertMode());
    EXPECT_EQ(hex->CaretStyle(), TCaretStyle::csLeftLine);
    hex->SetSelStart(2);
    keys.Type(L"4a");    // a new byte 0x4A before byte 2
    keys.Press(VK_TAB);  // to the character pane
    keys.Type(L"ä");     // German ANSI: 0xE4
    std::string expected = content;
    expected.insert(2, "\x4A");
    expected.insert(3, "\xE4");
    int64_t count = 100;
    std::vector<uint8_t> bytes = hex->BufferFromFile(0, count);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(hex->GetDataSize(), 42);

    keys.Press(VK_BACK);  // removes the "ä" just typed
    expected.erase(3, 1);
    keys.Press(VK_DELETE);  // removes the byte under the caret, the "c"
    expected.erase(3, 1);
    count = 100;
    bytes = hex->BufferFromFile(0, count);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(hex->JournalDescription(), L"Byte(s) removed");

    // In the ASCII set an umlaut is refused.
    hex->SetTranslation(TTranslationType::ttASCII);
    keys.Type(L"ä");
    EXPECT_EQ(hex->GetDataSize(), static_cast<int64_t>(expected.size()));

    // With NoSizeChange the size never changes.
    hex->SetNoSizeChange(true);
    EXPECT_FALSE(hex->InsertMode());
    hex->SetSelStart(5);
    hex->SetSelEnd(8);
    keys.Press(VK_DELETE, true);
    keys.Press(VK_BACK);
    EXPECT_EQ(hex->GetDataSize(), static_cast<int64_t>(expected.size()));
}

TEST_F(HexEditorTest, KeysMarkersAndSelection)
{
    ASSERT_TRUE(hex->LoadFromFile(dir.Write(L"lang.bin", std::string(1000, 'q'))));
    TKeys keys(hex->Handle());
    keys.Press(VK_END, true);
    EXPECT_EQ(hex->GetCaretOffset(), 999);
    RECT client;
    GetClientRect(hex->Handle(), &client);
    EXPECT_EQ(hex->TopRow() + client.bottom / hex->DefaultRowHeight(), hex->RowCount())
        << "the last row is shown at the bottom";
    keys.Press('3', true, true);  // marker 3 on row 62
    EXPECT_EQ(hex->GetMarker(3), 62);
    keys.Press(VK_HOME, true);
    EXPECT_EQ(hex->GetCaretOffset(), 0);
    EXPECT_EQ(hex->TopRow(), 0);
    keys.Press('3', true);
    EXPECT_EQ(hex->GetCaretOffset(), 62 * 16);
    EXPECT_EQ(hex->Caret().Pane, THexPane::Hex);

    // Shift with the arrows selects.
    keys.Hold(VK_SHIFT);
    keys.Press(VK_RIGHT, false, true);
    keys.Press(VK_RIGHT, false, true);
    keys.Press(VK_RIGHT, false, true);
    keys.Release(VK_SHIFT);
    EXPECT_EQ(hex->GetSelCount(), 2);
    EXPECT_EQ(hex->GetSelStart(), 62 * 16);
    EXPECT_EQ(hex->GetSelEnd(), 62 * 16 + 1);
    keys.Press(VK_LEFT);
    EXPECT_EQ(hex->GetSelCount(), 0) << "a key without Shift clears the selection";
}

namespace {

// The pixels of a client area as WM_PRINTCLIENT draws them.
class TPrinted {
public:
    TPrinted(HWND window, int width, int height) : width_(width), height_(height)
    {
        TWindowDC screen(nullptr);
        dc_.Reset(CreateCompatibleDC(screen.Get()));
        bitmap_.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        select_ = std::make_unique<TSelectObject>(dc_.Get(), bitmap_.Get());
        if (window)
            SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.Get()), PRF_CLIENT);
    }
    HDC DC() const { return dc_.Get(); }
    // The same cell drawn here as the text expected in it.
    void DrawText(const RECT& cell, const std::wstring& text, HFONT font, COLORREF textColor, COLORREF background)
    {
        TSelectObject useFont(dc_.Get(), font);
        SetTextColor(dc_.Get(), textColor);
        SetBkColor(dc_.Get(), background);
        ExtTextOutW(dc_.Get(), cell.left, cell.top + 1, ETO_OPAQUE | ETO_CLIPPED, &cell, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    }
    bool SameCell(const TPrinted& other, const RECT& cell) const
    {
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                if (GetPixel(dc_.Get(), x, y) != GetPixel(other.dc_.Get(), x, y))
                    return false;
        return true;
    }

private:
    int width_, height_;
    TOwnDC dc_;
    TGdiObject bitmap_;
    std::unique_ptr<TSelectObject> select_;
};

// Whether the printed cell shows exactly that text in the offset colours.
bool CellShows(THexEditor& hex, const TPrinted& printed, int col, int64_t row, const std::wstring& text)
{
    const RECT cell = hex.CellRect(col, row);
    TPrinted expected(nullptr, 2000, 2000);
    // The offset's text after the margin that keeps it off the edge.
    RECT textCell = cell;
    textCell.left += col == 0 ? OffsetMargin(hex.CharWidth()) : 0;
    const TGdiObject background(CreateSolidBrush(ColorToRGB(hex.Colors().Background())));
    FillRect(expected.DC(), &cell, static_cast<HBRUSH>(background.Get()));
    expected.DrawText(textCell, text, hex.Font().Handle(), ColorToRGB(hex.Colors().Offset()),
                      ColorToRGB(hex.Colors().Background()));
    return printed.SameCell(expected, cell);
}

std::wstring HexOffset(int digits, int64_t offset)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"x%0*llX:", digits, static_cast<unsigned long long>(offset));
    return text;
}

}  // namespace

TEST_F(HexEditorTest, PrintClientShowsTheOffsetsAndTheLastRow)
{
    ASSERT_TRUE(hex->LoadFromFile(dir.Write(L"lang.bin", std::string(1000, 'q'))));
    RECT client;
    GetClientRect(hex->Handle(), &client);
    {
        const TPrinted printed(hex->Handle(), client.right, client.bottom);
        // 1000 bytes: the last row starts at 0x3E0, three digits.
        for (int64_t row = 0; row < 5; ++row)
            EXPECT_TRUE(CellShows(*hex, printed, 0, row, HexOffset(3, row * 16))) << row;
        EXPECT_FALSE(CellShows(*hex, printed, 0, 1, HexOffset(3, 0x20))) << "the comparison tells offsets apart";
        // The first character stands clear of the view's left edge.
        const int margin = hex->CharWidth() / 2;
        ASSERT_GT(margin, 0);
        const COLORREF background = ColorToRGB(hex->Colors().Background());
        for (int y = 0; y < hex->CellRect(0, 4).bottom; ++y)
            for (int x = 0; x < margin; ++x)
                ASSERT_EQ(GetPixel(printed.DC(), x, y), background) << x << "," << y;
    }
    TKeys(hex->Handle()).Press(VK_END, true);
    const int64_t lastRow = hex->RowCount() - 1;
    ASSERT_GT(hex->TopRow(), 0);
    const TPrinted printed(hex->Handle(), client.right, client.bottom);
    EXPECT_TRUE(CellShows(*hex, printed, 0, lastRow, HexOffset(3, lastRow * 16)));
    EXPECT_TRUE(CellShows(*hex, printed, 0, hex->TopRow(), HexOffset(3, hex->TopRow() * 16)));
    EXPECT_EQ(hex->CellText(2 * 16 + 3 + 7, lastRow), L"q") << "the last byte's character";
    EXPECT_EQ(hex->CellText(2 * 16 + 3 + 8, lastRow), L"") << "nothing past the end";

    hex->SetOffsetDisplay(TOffsetDisplayStyle::odDec);
    const TPrinted decimal(hex->Handle(), client.right, client.bottom);
    EXPECT_TRUE(CellShows(*hex, decimal, 0, lastRow, std::to_wstring(lastRow * 16) + L":"));
}

TEST_F(HexEditorTest, SparseFileOfFiveGigabytes)
{
    const int64_t size = INT64_C(5368709120);
    const std::wstring big = dir.File(L"gross.bin");
    {
        TFileHandle out(CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(out);
        DWORD ignored = 0;
        DeviceIoControl(out.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = size - 4;
        ASSERT_TRUE(SetFilePointerEx(out.Get(), at, nullptr, FILE_BEGIN));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(out.Get(), "ENDE", 4, &written, nullptr));
    }
    const std::set<std::wstring> tempBefore = FilesIn(temp);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(hex->LoadFromFile(big));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "nothing is copied or read ahead";
    EXPECT_EQ(hex->GetDataSize(), size);
    int64_t count = 4;
    const std::vector<uint8_t> tail = hex->BufferFromFile(size - 4, count);
    EXPECT_EQ(std::string(tail.begin(), tail.end()), "ENDE");

    TKeys(hex->Handle()).Press(VK_END, true);
    EXPECT_EQ(hex->GetCaretOffset(), size - 1);
    const int64_t lastRow = size / 16 - 1;
    EXPECT_EQ(hex->RowCount(), lastRow + 1);
    EXPECT_EQ(hex->CellText(2 * 16 + 3 + 12, lastRow), L"E");
    EXPECT_EQ(hex->CellText(2 * 16 + 3 + 15, lastRow), L"E");
    EXPECT_EQ(hex->CellText(2 * 16 + 3 + 13, lastRow), L"N");
    RECT client;
    GetClientRect(hex->Handle(), &client);
    const TPrinted printed(hex->Handle(), client.right, client.bottom);
    EXPECT_TRUE(CellShows(*hex, printed, 0, lastRow, HexOffset(9, lastRow * 16))) << "x13FFFFFF0:";

    // One byte per row: more rows than the scroll bar holds, scaled.
    hex->SetBytesPerLine(1);
    SendMessageW(hex->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(hex->TopRow(), size - client.bottom / hex->DefaultRowHeight());
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(hex->Handle(), SB_VERT, &info));
    EXPECT_GT(info.nMax, 0);
    EXPECT_GT(info.nPos, info.nMax / 2);
    SendMessageW(hex->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(hex->TopRow(), 0);

    EXPECT_EQ(FilesIn(temp), tempBefore) << "the read-only view leaves nothing in TMP";
    hex->LoadFromFile(L"");
}

// The search looks at the file through mapped views: they start on the
// allocation granularity below offsets past 4 GiB, show what ReadFile reads,
// and a match across a 64 KB border or across 4 GiB is found.
TEST_F(HexEditorTest, SearchThroughViewsPastFourGigabytes)
{
    const int64_t fourGiB = INT64_C(1) << 32;
    const int64_t size = fourGiB + 200000;
    const std::wstring big = dir.File(L"weit.bin");
    const auto put = [](HANDLE out, int64_t offset, const char* text) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        return WriteFile(out, text, static_cast<DWORD>(std::strlen(text)), &written, &at) != 0;
    };
    {
        TFileHandle out(CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(out);
        DWORD ignored = 0;
        DeviceIoControl(out.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        ASSERT_TRUE(put(out.Get(), fourGiB - 2, "Nadel"));
        ASSERT_TRUE(put(out.Get(), fourGiB + 65534, "Nadel"));
        ASSERT_TRUE(put(out.Get(), size - 5, "Nadel"));
    }
    {
        TWinHexFile raw(big, false);
        for (const int64_t offset : {fourGiB - 2, fourGiB + 65534, size - 5}) {
            std::vector<uint8_t> read(5);
            raw.Read(offset, read.data(), read.size());
            const std::unique_ptr<THexFileView> view = raw.View(offset, 5);
            ASSERT_TRUE(view) << offset;
            EXPECT_EQ(std::string(view->Data(), view->Data() + 5), "Nadel") << offset;
            EXPECT_TRUE(std::equal(read.begin(), read.end(), view->Data())) << offset;
        }
        EXPECT_FALSE(raw.View(size - 4, 5)) << "no view beyond the end";
    }

    ASSERT_TRUE(hex->LoadFromFile(big));
    const std::string needle = "nadel";
    const auto* pattern = reinterpret_cast<const uint8_t*>(needle.data());
    EXPECT_EQ(hex->Find(pattern, 5, false, true, size - 1, fourGiB - 100), fourGiB - 2);
    EXPECT_EQ(hex->Find(pattern, 5, false, true, size - 1, fourGiB - 1), fourGiB + 65534);
    EXPECT_EQ(hex->Find(pattern, 5, false, true, size - 1, fourGiB + 65535), size - 5);
    EXPECT_EQ(hex->Find(pattern, 5, false, false, size - 1, fourGiB - 100), -1) << "case counts";
    hex->LoadFromFile(L"");
}

TEST_F(HexEditorTest, MouseClicksPlaceTheCaretAndDragsSelect)
{
    ASSERT_TRUE(hex->LoadFromFile(file));
    HWND window = hex->Handle();
    const auto at = [&](int col, int64_t row) {
        const RECT cell = hex->CellRect(col, row);
        return MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    };
    // The second nibble of byte 5 (row 0).
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(2 + 2 * 5 + 1, 0));
    SendMessageW(window, WM_LBUTTONUP, 0, at(2 + 2 * 5 + 1, 0));
    EXPECT_EQ(hex->Caret(), (THexCaret{5, THexPane::Hex, 1}));
    EXPECT_EQ(hex->GetSelCount(), 0);
    // A drag in the character pane from byte 17 to byte 20 (row 1).
    const int firstChar = 2 * 16 + 3;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(firstChar + 1, 1));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, at(firstChar + 4, 1));
    SendMessageW(window, WM_LBUTTONUP, 0, at(firstChar + 4, 1));
    EXPECT_EQ(hex->Caret(), (THexCaret{20, THexPane::Char, 0}));
    EXPECT_EQ(hex->GetSelStart(), 17);
    EXPECT_EQ(hex->GetSelEnd(), 20);
    EXPECT_EQ(hex->GetSelCount(), 4);
    // A click past the end of the data goes to the last byte, same pane.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(firstChar + 15, 2));
    SendMessageW(window, WM_LBUTTONUP, 0, at(firstChar + 15, 2));
    EXPECT_EQ(hex->Caret(), (THexCaret{39, THexPane::Char, 0}));
    EXPECT_EQ(hex->GetSelCount(), 0) << "a new press clears the selection";
}

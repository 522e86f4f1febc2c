// The string grid: its columns follow the column count, the editor keeps to
// its column's limit and commits into the cell, Esc gives the old text back,
// Tab walks the cells and adds no row, and a row dragged by its fixed cell
// moves with its texts.
// ctest: takes the focus (the editor takes it when it opens; Ctrl is pressed)

#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "widgets/win/ImpStringGrid.h"

#include <gtest/gtest.h>

#include <imm.h>

using namespace qrv;

namespace {

// The grid with its painting open to the tests.
class PaintedGrid : public TImpStringGrid {
public:
    using TImpStringGrid::TImpStringGrid;
    // How many pixels of the cell come out in the colour when the grid paints.
    int PixelsIn(int col, int row, COLORREF color)
    {
        const TWindowDC screen(nullptr);
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), ClientWidth(), ClientHeight()));
        const TSelectObject select(memory.Get(), bitmap.Get());
        Paint(memory.Get());
        RECT cell = CellScreenRect(col, row);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&cell), 2);
        int count = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                count += GetPixel(memory.Get(), x, y) == color;
        return count;
    }
};

class ImpStringGrid : public testing::Test {
protected:
    void SetUp() override
    {
        form.SetBounds(0, 0, 400, 300);
        grid = new PaintedGrid(&form);
        grid->SetBounds(0, 0, 380, 200);
        grid->SetParent(&form);
        form.HandleNeeded();
        grid->SetColCount(3);
        grid->SetRowCount(4);
        grid->OnEndEditText = [this](TComponent*, int col, int row) { ended.emplace_back(col, row); };
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            SendMessageW(grid->InplaceEditor()->Handle(), WM_CHAR, c, 1);
    }
    void Key(HWND window, WORD key) { SendMessageW(window, WM_KEYDOWN, key, 1); }

    TForm form{nullptr};
    PaintedGrid* grid = nullptr;
    std::vector<std::pair<int, int>> ended;
};

}  // namespace

TEST_F(ImpStringGrid, ColumnsFollowTheColumnCount)
{
    TForm other(nullptr);
    TImpStringGrid fresh(&other);
    EXPECT_EQ(fresh.ColCount(), 5);
    fresh.Columns(4).Width = 10;
    fresh.SetColCount(3);
    EXPECT_EQ(fresh.ColCount(), 3);
    EXPECT_THROW(fresh.Columns(3), std::out_of_range);
}

TEST_F(ImpStringGrid, EditorKeepsItsLimitAndCommits)
{
    grid->Columns(1).MaxLength = 5;
    grid->SetCurrent(1, 2);
    grid->ShowEditor();
    ASSERT_TRUE(grid->EditorMode());
    Type(L"abcdefgh");
    EXPECT_TRUE(grid->EditorModified());
    Key(grid->InplaceEditor()->Handle(), VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells().Cell(1, 2), L"abcde");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0], std::make_pair(1, 2));

    // Esc gives back what the cell held when the editor opened.
    grid->ShowEditor();
    Type(L"zz");
    Key(grid->InplaceEditor()->Handle(), VK_ESCAPE);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells().Cell(1, 2), L"abcde");
}

TEST_F(ImpStringGrid, TabWalksTheCellsAndAddsNoRow)
{
    grid->SetCurrent(1, 3);
    Key(grid->Handle(), VK_TAB);
    EXPECT_EQ(grid->Col(), 2);
    Key(grid->Handle(), VK_TAB);  // the last cell: the focus would leave
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    // A handler that takes the key stops the grid's own move.
    grid->OnKeyDown = [](TComponent*, uint16_t& key, TShortCut) {
        if (key == VK_DOWN)
            key = 0;
    };
    grid->SetCurrent(1, 1);
    Key(grid->Handle(), VK_DOWN);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(ImpStringGrid, EllipsisAndRowMoves)
{
    grid->Columns(2).ButtonStyle = TImpColumnButtonStyle::cbsEllipsis;
    int clicks = 0;
    grid->OnElippsisClicked = [&](TComponent*, int col, int) {
        EXPECT_EQ(col, 2);
        ++clicks;
    };
    grid->SetCurrent(2, 1);
    grid->ShowEditor();
    keybd_event(VK_CONTROL, 0, 0, 0);
    Key(grid->InplaceEditor()->Handle(), VK_RETURN);  // Ctrl+Enter
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_EQ(clicks, 1);
    grid->CommitEdit();

    for (int row = 1; row < 4; ++row)
        grid->Cells().SetCell(1, row, L"r" + std::to_wstring(row));
    std::pair<int, int> moved{-1, -1};
    grid->OnRowMoved = [&](TComponent*, int from, int to) { moved = {from, to}; };
    const RECT from = grid->CellScreenRect(0, 1);
    const RECT to = grid->CellScreenRect(0, 3);
    POINT down{from.left + 2, from.top + 2};
    POINT up{to.left + 2, to.top + 2};
    ScreenToClient(grid->Handle(), &down);
    ScreenToClient(grid->Handle(), &up);
    SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    EXPECT_EQ(moved, std::make_pair(1, 3));
    EXPECT_EQ(grid->Cells().Cell(1, 1), L"r2");
    EXPECT_EQ(grid->Cells().Cell(1, 3), L"r1");
}

TEST_F(ImpStringGrid, TabPastTheLastCellAppendsRowsAndReportsOverflowOnce)
{
    grid->AutoInsertRows = true;
    int newRows = 0, tooMany = 0;
    grid->OnNewRow = [&](TComponent*) { ++newRows; };
    grid->OnTooMuchrows = [&](TComponent*) { ++tooMany; };
    grid->Cells().SetRowCount(4);
    const int fitting = grid->ClientHeight() / (grid->DefaultRowHeight() + 1);
    for (int added = 1; grid->RowCount() < fitting + 3; ++added) {
        grid->SetCurrent(grid->ColCount() - 1, grid->RowCount() - 1);
        Key(grid->Handle(), VK_TAB);
        EXPECT_EQ(grid->RowCount(), 4 + added);
        EXPECT_EQ(grid->Row(), grid->RowCount() - 1) << "Tab moves on into the new row";
        EXPECT_EQ(grid->Col(), 1);
        EXPECT_EQ(grid->Cells().Cell(1, grid->Row()), L"");
    }
    EXPECT_EQ(newRows, grid->RowCount() - 4);
    EXPECT_EQ(tooMany, 1) << "reported the first time the rows no longer fit, not again";
}

TEST_F(ImpStringGrid, PickListOpensWithTheChoicesAndPutsOneIntoTheEditor)
{
    TImpColumn& column = grid->Columns(1);
    column.ButtonStyle = TImpColumnButtonStyle::cbsPicklist;
    grid->SetCurrent(1, 1);
    grid->ShowEditor();
    ASSERT_TRUE(grid->EditorMode());
    grid->OpenPickList();
    ASSERT_TRUE(grid->PickListVisible());
    RECT r{};
    GetWindowRect(grid->PickListHandle(), &r);
    EXPECT_EQ(r.bottom - r.top, 4) << "an empty list is its frame";
    EXPECT_EQ(GetFocus(), grid->InplaceEditor()->Handle()) << "the editor keeps the focus";
    Key(grid->InplaceEditor()->Handle(), VK_ESCAPE);
    EXPECT_FALSE(grid->PickListVisible());
    EXPECT_TRUE(grid->EditorMode()) << "Esc closes the list only";

    column.PickList = {L"Alpha", L"Beta", L"Gamma"};
    column.DropDownRows = 2;
    std::vector<std::wstring> offered;
    grid->OnPicklistDropdown = [&](TComponent*, int col, int row, std::vector<std::wstring>& items) {
        EXPECT_EQ(col, 1);
        EXPECT_EQ(row, 1);
        offered = items;
        items.push_back(L"Delta");
    };
    grid->OpenPickList();
    EXPECT_EQ(offered, column.PickList);
    HWND list = grid->PickListHandle();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4) << "the handler's copy is shown";
    GetWindowRect(list, &r);
    EXPECT_EQ(r.bottom - r.top, 2 * SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) + 4);
    // Type-ahead selects, Enter takes the item into the editor.
    SendMessageW(grid->InplaceEditor()->Handle(), WM_CHAR, L'd', 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3);
    Key(grid->InplaceEditor()->Handle(), VK_UP);
    Key(grid->InplaceEditor()->Handle(), VK_RETURN);
    EXPECT_FALSE(grid->PickListVisible());
    EXPECT_EQ(grid->InplaceEditor()->Text(), L"Gamma");
    grid->CommitEdit();
    EXPECT_EQ(grid->Cells().Cell(1, 1), L"Gamma");
}

TEST_F(ImpStringGrid, CellsAndTitlesPaintInTheirFontsAndTheEditorTakesTheColumnsInputMethod)
{
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0);
    grid->Cells().SetCell(1, 1, L"WWWW");
    grid->Cells().SetCell(2, 1, L"WWWW");
    grid->Columns(1).Title.SetCaption(L"WWWW");
    TImpGridFont redFont = grid->Columns(1).Font(grid->Look());
    redFont.Color = clRed;
    redFont.Style = 1;
    grid->Columns(1).SetFont(redFont);
    EXPECT_GT(grid->PixelsIn(1, 1, red), 0) << "the column's font";
    EXPECT_GT(grid->PixelsIn(1, 0, red), 0) << "an unassigned title takes the column's font";
    EXPECT_EQ(grid->PixelsIn(2, 1, red), 0);
    TImpGridFont blueFont = redFont;
    blueFont.Color = clBlue;
    grid->Columns(1).Title.SetFont(blueFont);
    EXPECT_GT(grid->PixelsIn(1, 0, blue), 0);
    EXPECT_EQ(grid->PixelsIn(1, 0, red), 0);
    grid->Font().SetColor(clGreen);
    EXPECT_GT(grid->PixelsIn(2, 1, green), 0) << "an unassigned column follows the grid's font";
    EXPECT_EQ(grid->PixelsIn(1, 1, green), 0);

    // Disabled in one column, closed and then open in another; a column
    // naming no mode takes the grid's.
    const auto editorInput = [this](int col) {
        grid->SetCurrent(col, 1);
        grid->ShowEditor();
        HWND editor = grid->InplaceEditor()->Handle();
        const HIMC context = ImmGetContext(editor);
        const int state = !context ? -1 : ImmGetOpenStatus(context) ? 1 : 0;
        if (context)
            ImmReleaseContext(editor, context);
        grid->CancelEdit();
        return state;
    };
    grid->Columns(1).SetImeMode(TImeMode::imDisable);
    EXPECT_EQ(editorInput(1), -1) << "no input method";
    grid->ImeMode = TImeMode::imClose;
    EXPECT_EQ(editorInput(2), 0) << "given back after a disabled column, closed as the grid says";
    grid->Columns(2).SetImeMode(TImeMode::imOpen);
    EXPECT_EQ(editorInput(2), 1);
    EXPECT_EQ(editorInput(1), -1);
}

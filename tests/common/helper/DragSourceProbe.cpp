// A drag source in a process of its own, for the tests of the drag loop:
// it drags files onto a point of the screen, steering the cursor there
// itself (no button is pressed under the tests), and drops.
//   qrv_drag_source_probe X Y PATHS...
//       prints "ready ;", waits for a line on its input, drags, then prints "result EFFECT shown LAST"
//       (the drag's result: 1 copy, 2 move, 0 none; and the effect the target showed last) and ends
#include "common/win/DragDropFilesEx.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include <cstdio>
#include <string>

using namespace qrv;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4 || FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    int result = 1;
    {
        TApplication application;
        // A small window of its own in a corner, where the drag starts.
        TForm form(nullptr);
        form.SetBounds(1000, 0, 100, 100);
        form.Show();
        TDragDropFilesEx dnd(nullptr);
        dnd.SetDragDropControl(&form);
        dnd.SetSourceEffects(deCopy | deMove);
        for (int i = 3; i < argc; ++i) {
            dnd.FileList.AddItem(nullptr, argv[i]);
        }
        const POINT target{std::stoi(argv[1]), std::stoi(argv[2])};
        Print(L"ready ;");
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);
        // The target takes a while to hear of the drag (another process):
        // the drop comes after the cursor rested on it for some rounds.
        DWORD start = 0;
        dnd.OnQueryContinueDrag = [&](TDragDrop*, BOOL, DWORD, HRESULT& answer) {
            if (start == 0) {
                start = GetTickCount();
                SetCursorPos(target.x, target.y);
            }
            answer = GetTickCount() - start < 1500 ? S_OK : DRAGDROP_S_DROP;
        };
        // The effect the target last showed (the drag's own result takes
        // "none" for a move the target carried out).
        DWORD shown = DROPEFFECT_NONE;
        dnd.OnGiveFeedback = [&](TDragDrop*, DWORD effect, HRESULT&) { shown = effect; };
        SetCursorPos(1050, 50);
        const TDragResult dragged = dnd.Execute();
        const int effect = dragged == drCopy ? 1 : dragged == drMove ? 2 : dragged == drLink ? 4 : 0;
        Print(L"result " + std::to_wstring(effect) + L" shown " + std::to_wstring(shown));
        result = 0;
    }
    OleUninitialize();
    return result;
}

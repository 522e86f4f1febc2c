// A drop target in a process of its own, for the tests of the drag loop:
// a window at the given screen position that takes files and prints them.
//   qrv_drop_target_probe X Y [FOLDER]
//       prints "ready at X Y ;" (the window's middle), then "dropped EFFECT" and a line per file after a
//       drop, and ends. With FOLDER it asks for a move and moves the dropped files into FOLDER, as a file
//       manager does, printing "moved N".
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
    if (argc < 3 || FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    int result = 1;
    {
        TApplication application;
        TForm form(nullptr);
        form.SetBounds(std::stoi(argv[1]), std::stoi(argv[2]), 200, 200);
        form.Show();
        SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        TDragDropFilesEx dnd(nullptr);
        dnd.SetDragDropControl(&form);
        dnd.SetTargetEffects(deCopy | deMove);
        const std::wstring folder = argc > 3 ? argv[3] : L"";
        if (!folder.empty()) {
            dnd.OnDragOver = [](TDragDrop*, DWORD, POINT, DWORD& effect) { effect = DROPEFFECT_MOVE; };
        }
        bool done = false;
        dnd.OnProcessDropped = [&](TDragDrop*, DWORD, POINT, DWORD effect) {
            Print(L"dropped " + std::to_wstring(effect));
            int moved = 0;
            for (int i = 0; i < dnd.FileList.Count(); ++i) {
                const std::wstring& name = dnd.FileList.GetItem(i).Name;
                Print(L"file " + name);
                if (!folder.empty() && effect == DROPEFFECT_MOVE &&
                    MoveFileW(name.c_str(), (folder + L"\\" + name.substr(name.find_last_of(L'\\') + 1)).c_str())) {
                    ++moved;
                }
            }
            if (!folder.empty()) {
                Print(L"moved " + std::to_wstring(moved));
            }
            done = true;
        };
        RECT r{};
        GetWindowRect(form.Handle(), &r);
        // Where the window came to stand, for the source to steer to.
        Print(dnd.Registered() ? L"ready at " + std::to_wstring((r.left + r.right) / 2) + L" " +
                                     std::to_wstring((r.top + r.bottom) / 2) + L" ;"
                               : L"not registered");
        const DWORD end = GetTickCount() + 30000;
        while (!done && GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            application.ProcessMessages();
        }
        result = done ? 0 : 1;
    }
    OleUninitialize();
    return result;
}

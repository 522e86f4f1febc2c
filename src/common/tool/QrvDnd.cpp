// A console tool for developers: files on the OLE clipboard the way a drag
// offers them, what the clipboard holds read the way a drop reads it, and
// the vanished-file watch.
//   qrvdnd copy PATHS...          puts the files on the clipboard, stays until Enter
//   qrvdnd paste                  prints the files, their mapped names and the effect
//   qrvdnd formats                prints the clipboard's formats
//   qrvdnd watch SECONDS PATHS... prints the paths that vanish within the time
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileChanges.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace qrv;
using Microsoft::WRL::ComPtr;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring EffectName(uint32_t effect)
{
    switch (effect) {
    case deCopy:
        return L"copy";
    case deMove:
        return L"move";
    case deLink:
        return L"link";
    default:
        return L"none (" + std::to_wstring(effect) + L")";
    }
}

// Handles messages (the clipboard's requests) until Done is signalled.
void PumpUntilSignalled(HANDLE done)
{
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int Copy(const std::vector<std::wstring>& paths)
{
    TDragDropFilesEx dnd(nullptr);
    for (const std::wstring& path : paths) {
        dnd.FileList.AddItem(nullptr, path);
    }
    if (!dnd.CopyToClipboard()) {
        Print(L"error: the files cannot go on the clipboard");
        return 1;
    }
    Print(L"ready: " + std::to_wstring(paths.size()) + L" files on the clipboard, Enter ends");
    TKernelHandle enter(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread reader([&] {
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);  // a line or the end of the input
        SetEvent(enter.Get());
    });
    PumpUntilSignalled(enter.Get());
    reader.join();
    if (FAILED(OleFlushClipboard())) {
        Print(L"error: the clipboard could not keep the files");
        return 1;
    }
    return 0;
}

int Paste()
{
    TDragDropFilesEx dnd(nullptr);
    dnd.NeedValid = 0;
    uint32_t effect = 0;
    if (!dnd.PasteFromClipboard(effect)) {
        Print(L"error: nothing on the clipboard");
        return 1;
    }
    for (int i = 0; i < dnd.FileList.Count(); ++i) {
        const TFDDListItem& item = dnd.FileList.GetItem(i);
        std::wstring line = L"file " + item.Name;
        if (!item.MappedName.empty()) {
            line += L" -> " + item.MappedName;
        }
        if (item.Pidl) {
            line += L" (list " + PidlToPath(item.Pidl.get()) + L")";
        }
        Print(line);
    }
    if (dnd.FileList.Count() == 0) {
        Print(L"no files on the clipboard");
        return 1;
    }
    Print(L"mapped names: " + std::wstring(dnd.MappedNamesAvailable ? L"yes" : L"no"));
    Print(L"effect: " + EffectName(effect));
    return 0;
}

int Formats()
{
    ComPtr<IDataObject> data;
    ComPtr<IEnumFORMATETC> formats;
    if (FAILED(OleGetClipboard(&data)) || FAILED(data->EnumFormatEtc(DATADIR_GET, &formats))) {
        Print(L"error: the clipboard's formats cannot be read");
        return 1;
    }
    FORMATETC format;
    while (formats->Next(1, &format, nullptr) == S_OK) {
        wchar_t name[256] = L"";
        if (GetClipboardFormatNameW(format.cfFormat, name, 256) == 0) {
            swprintf(name, 256, L"(predefined %u)", format.cfFormat);
        }
        Print(std::wstring(name) + L" media " + std::to_wstring(format.tymed) + L" index " +
              std::to_wstring(format.lindex));
        CoTaskMemFree(format.ptd);
    }
    return 0;
}

int Watch(int seconds, const std::vector<std::wstring>& paths)
{
    TFileDeleteThread watch(
        paths,
        [](TFileDeleteThread*, const std::vector<std::wstring>& deleted) {
            for (const std::wstring& path : deleted) {
                Print(L"vanished " + path);
            }
        },
        seconds);
    while (!watch.Finished()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Application->ProcessMessages();
    }
    Print(L"watch ended");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (FAILED(OleInitialize(nullptr))) {
        Print(L"error: OLE cannot start");
        return 2;
    }
    int result = 2;
    try {
        TApplication application;
        const std::wstring command = argc > 1 ? argv[1] : L"";
        std::vector<std::wstring> rest(argv + std::min(argc, 2), argv + argc);
        if (command == L"copy" && !rest.empty()) {
            result = Copy(rest);
        } else if (command == L"paste") {
            result = Paste();
        } else if (command == L"formats") {
            result = Formats();
        } else if (command == L"watch" && rest.size() >= 2) {
            const int seconds = std::stoi(rest[0]);
            result = Watch(seconds, std::vector<std::wstring>(rest.begin() + 1, rest.end()));
        } else {
            Print(L"usage: qrvdnd copy PATHS | paste | formats | watch SECONDS PATHS");
        }
    } catch (const std::exception& e) {
        Print(L"error: " + Utf8ToWide(e.what()));
        result = 1;
    }
    OleUninitialize();
    return result;
}

// ArchiveListProbe: shows an archive in the archive list view and prints
// each row's five texts as the control hands them out, then the messages
// the readers reported. For developers and scripted checks.
//   ArchiveListProbe ARCHIVE [--sort COL] [--desc] [--mask M] [--shot F.bmp]
// COL: 0 name, 1 size, 2 type, 3 changed, 4 path. --shot saves a picture of
// the window. Exit code 0 when the archive opened.

#include "archives/win/KyZipLV.h"
#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowPicture.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;

namespace {

void Print(const std::wstring& line)
{
    const std::string utf8 = WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring CellOf(HWND list, int item, int column)
{
    wchar_t buffer[1024] = L"";
    LVITEMW lvi{};
    lvi.iSubItem = column;
    lvi.pszText = buffer;
    lvi.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
    return buffer;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring archive, mask, shot;
    int sortColumn = 0;
    bool descending = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--sort" && i + 1 < argc)
            sortColumn = _wtoi(argv[++i]);
        else if (arg == L"--desc")
            descending = true;
        else if (arg == L"--mask" && i + 1 < argc)
            mask = argv[++i];
        else if (arg == L"--shot" && i + 1 < argc)
            shot = argv[++i];
        else if (archive.empty() && arg.rfind(L"--", 0) != 0)
            archive = arg;
        else {
            Print(L"unknown argument: " + arg);
            return 2;
        }
    }
    if (archive.empty()) {
        Print(L"usage: ArchiveListProbe ARCHIVE [--sort COL] [--desc] [--mask M] [--shot F.bmp]");
        return 2;
    }

    TForm form(nullptr);
    form.SetCaption(L"ArchiveListProbe");
    form.SetBounds(0, 0, 760, 400);
    auto* view = new TKyZipLV(&form);
    view->SetParent(&form);
    view->SetAlign(TAlign::alClient);
    form.HandleNeeded();
    view->SetDLLDirectory(ExtractFilePath(argv[0]));
    view->SetSortColumn(sortColumn);
    view->SetSortAscending(!descending);
    if (!mask.empty())
        view->SetMask(mask);

    int result = 0;
    try {
        view->OpenArchive(archive);
    } catch (const Exception& e) {
        Print(L"error: " + e.Message());
        result = 1;
    }
    const HWND list = view->Handle();
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line;
        for (int column = 0; column < ZipColumnCount; ++column)
            line += (column ? L"\t" : L"") + CellOf(list, i, column);
        Print(line);
    }
    Print(L"entries: " + std::to_wstring(count) + L", bytes: " + std::to_wstring(view->Items().TotalSize()));
    for (int i = 0; i < view->Messages().Count(); ++i)
        Print(L"message: " + view->Messages()[i]);

    if (!shot.empty()) {
        form.Show();
        if (!ShowAndSaveWindowPicture(form.Handle(), shot)) {
            Print(L"error: the picture could not be saved");
            result = 1;
        }
    }
    return result;
}

// Loading a large text file into the text view, beside what the rich edit
// control itself costs: (a) ReadFile plus MultiByteToWideChar of the same
// file, and (b) a bare EM_STREAMIN of the already converted text into a bare
// control. The view's load should stay within 1.1 x (b), and the reading and
// converting done in its stream callback within 2 x (a). Also a UTF-16 file
// of the same size.
//   qrv_bench_text_win.exe [folder]   (default T:\; files made when missing)
//   QRV_TEXT_BENCH_MB sets the file size in MB (default 50).

#include "BenchFolders.h"
#include "framework/Streams.h"
#include "framework/win/Forms.h"
#include "viewers/win/FileView.h"
#include "viewers/win/TextConversion.h"

#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

// The buffer size the control asks its stream callback to fill.
constexpr size_t kControlBlock = 4096;

// CR LF lines of ANSI text with umlauts, or the same as UTF-16 LE with mark.
void MakeFile(const std::wstring& name, size_t bytes, bool utf16)
{
    if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
        TFileStream existing(name, fmOpenRead | fmShareDenyNone);
        if (static_cast<size_t>(existing.Size()) >= bytes)
            return;
    }
    const std::wstring line = L"Zeile mit Umlauten \u00e4\u00f6\u00fc\u00df und etwas mehr Text dahinter.\r\n";
    std::string block;
    if (utf16)
        block = "\xff\xfe";
    while (block.size() < bytes) {
        if (utf16) {
            block.append(reinterpret_cast<const char*>(line.data()), line.size() * 2);
        } else {
            for (const wchar_t c : line)
                block.push_back(static_cast<char>(c));  // Latin-1 = 1252 here
        }
    }
    TFileStream file(name, fmCreate);
    file.WriteBytes(block);
    file.Flush();
}

// (a): the whole file read and converted by the system in one piece.
double ReadAndConvert(const std::wstring& name, std::wstring& text)
{
    return TimeOf([&] {
        const std::string bytes = ReadFileBytes(name);
        text.resize(bytes.size());
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                          static_cast<int>(text.size()));
        text.resize(static_cast<size_t>(n));
    });
}

// Our part of a load: the file read and converted block by block, as the
// stream callback does it for the control.
double ConversionOnly(const std::wstring& name, TConversion& conversion)
{
    return TimeOf([&] {
        TFileStream file(name, fmOpenRead | fmShareDenyNone);
        conversion.BeginTransfer(true);
        std::vector<uint8_t> buffer(kControlBlock);
        while (conversion.ConvertReadStream(file, buffer.data(), buffer.size()) != 0) {}
    });
}

struct TMemoryCookie {
    const char* data;
    size_t size;
    size_t position;
};

DWORD CALLBACK ReadMemory(DWORD_PTR cookieValue, LPBYTE buffer, LONG count, LONG* done)
{
    auto& cookie = *reinterpret_cast<TMemoryCookie*>(cookieValue);
    const size_t n = std::min(static_cast<size_t>(count), cookie.size - cookie.position);
    std::memcpy(buffer, cookie.data + cookie.position, n);
    cookie.position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

// (b): the converted text streamed into a bare control of the same size.
double BareStreamIn(HWND parent, const std::wstring& text)
{
    HWND control = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                                   WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL, 0, 0, 600, 400,
                                   parent, nullptr, nullptr, nullptr);
    SendMessageW(control, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
    SendMessageW(control, EM_EXLIMITTEXT, 0, 0x7FFFFBFF);
    TMemoryCookie cookie{reinterpret_cast<const char*>(text.data()), text.size() * 2, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, ReadMemory};
    const double ms =
        TimeOf([&] { SendMessageW(control, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream)); });
    DestroyWindow(control);
    return ms;
}

double ViewLoad(TForm& form, const std::wstring& name, int& questions)
{
    auto* view = new TTextFileView(&form);
    view->SetBounds(0, 0, 600, 400);
    view->SetParent(&form);
    view->OnLoadQuestion = [&](const std::wstring&) {
        ++questions;
        return true;
    };
    form.HandleNeeded();
    const double ms = TimeOf([&] { view->LoadFromFile(name); });
    delete view;
    return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring folder = argc > 1 ? argv[1] : L"T:\\";
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    const char* mbText = std::getenv("QRV_TEXT_BENCH_MB");
    const size_t mb = mbText ? std::strtoul(mbText, nullptr, 10) : 50;
    TApplication application;
    application.Initialize();
    const std::wstring ansiFile = folder + L"qrvbench-text-" + std::to_wstring(mb) + L"mb-ansi.txt";
    const std::wstring utf16File = folder + L"qrvbench-text-" + std::to_wstring(mb) + L"mb-utf16.txt";
    MakeFile(ansiFile, mb * 1048576, false);
    MakeFile(utf16File, mb * 1048576, true);

    TForm form(nullptr);
    form.SetBounds(0, 0, 640, 480);
    form.HandleNeeded();

    std::wstring converted;
    const double readConvert = BestOf(3, [&] { ReadAndConvert(ansiFile, converted); });
    TConversion ansi;
    const double ourConvert = BestOf(3, [&] { ConversionOnly(ansiFile, ansi); });
    int questions = 0;
    const double view = ViewLoad(form, ansiFile, questions);
    const double bare = BareStreamIn(form.Handle(), converted);
    converted.clear();
    converted.shrink_to_fit();

    const std::string utf16Bytes = ReadFileBytes(utf16File);
    const std::wstring utf16Text(reinterpret_cast<const wchar_t*>(utf16Bytes.data() + 2), (utf16Bytes.size() - 2) / 2);
    int utf16Questions = 0;
    const double utf16View = ViewLoad(form, utf16File, utf16Questions);
    const double utf16Bare = BareStreamIn(form.Handle(), utf16Text);

    std::printf("text view, %zu MB CR LF ANSI file with umlauts (question answered Yes %d time(s)):\n", mb, questions);
    std::printf(
        "  load into the view %.0f ms, bare EM_STREAMIN of the converted text (b) %.0f ms: %.2f x (target <= 1.10)\n",
        view, bare, view / bare);
    std::printf("  our read and convert %.0f ms, ReadFile + MultiByteToWideChar (a) %.0f ms: %.2f x (target <= 2.00)\n",
                ourConvert, readConvert, ourConvert / readConvert);
    std::printf("text view, %zu MB UTF-16 file: load into the view %.0f ms, bare EM_STREAMIN %.0f ms: %.2f x\n", mb,
                utf16View, utf16Bare, utf16View / utf16Bare);
    return 0;
}

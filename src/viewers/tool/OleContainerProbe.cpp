// OleContainerProbe: embeds a file's object in the embedded-document
// container and prints the container's state after each step, the object's
// verbs and the events it raised. For developers and scripted checks.
//   OleContainerProbe FILE [--link] [--verb N]... [--iconic] [--save DOC]
//                     [--data-out F] [--data-in F] [--shot F.bmp]
// --link links to the file instead of embedding it; --verb runs a verb (repeatable; -65536 primary, -5 in place, -2
// open, an index above 0 into the verb list); --save saves a compound document;
// --data-out writes the stored "Data", --data-in loads one in a second
// container (FILE may then be "-"); --shot saves a picture of the window.
// Exit code 0 when every step worked.

#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/WindowPicture.h"
#include "viewers/win/KyOleCtnrs.h"

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

void PrintState(const wchar_t* step, TKyOLEContainer& container)
{
    Print(std::wstring(L"state after ") + step + L": " + std::to_wstring(container.GetState()));
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring file, save, dataOut, dataIn, shot;
    std::vector<int> verbs;
    bool iconic = false, link = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--verb" && i + 1 < argc)
            verbs.push_back(_wtoi(argv[++i]));
        else if (arg == L"--iconic")
            iconic = true;
        else if (arg == L"--link")
            link = true;
        else if (arg == L"--save" && i + 1 < argc)
            save = argv[++i];
        else if (arg == L"--data-out" && i + 1 < argc)
            dataOut = argv[++i];
        else if (arg == L"--data-in" && i + 1 < argc)
            dataIn = argv[++i];
        else if (arg == L"--shot" && i + 1 < argc)
            shot = argv[++i];
        else if (file.empty() && (arg == L"-" || arg.rfind(L"--", 0) != 0))
            file = arg;
        else {
            Print(L"unknown argument: " + arg);
            return 2;
        }
    }
    if (file.empty()) {
        Print(L"usage: OleContainerProbe FILE [--link] [--verb N]... [--iconic] [--save DOC] [--data-out F] [--data-in "
              L"F] "
              L"[--shot F.bmp]");
        return 2;
    }

    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    int result = 0;
    {
        TApplication application;
        application.Initialize();
        application.SetTitle(L"OleContainerProbe");
        application.OnException = [&](TComponent*, const std::exception& error) {
            Print(L"raised later: " + Utf8ToWide(error.what()));
            result = 1;
        };
        TForm form(nullptr);
        form.SetCaption(L"OleContainerProbe");
        form.SetBounds(0, 0, 400, 300);
        auto* container = new TKyOLEContainer(&form);
        container->SetParent(&form);
        container->SetAlign(TAlign::alClient);
        container->OnActivate = [](TComponent*) { Print(L"event: OnActivate"); };
        container->OnDeactivate = [](TComponent*) { Print(L"event: OnDeactivate"); };
        container->OnDataChanged = [](TComponent*) { Print(L"event: OnDataChanged"); };
        container->OnShowObject = [](TComponent*) { Print(L"event: OnShowObject"); };
        form.Show();
        Pump();
        PrintState(L"start", *container);

        auto step = [&](const wchar_t* name, auto work) {
            try {
                work();
                PrintState(name, *container);
            } catch (const Exception& e) {
                Print(std::wstring(L"error in ") + name + L": " + e.Message());
                result = 1;
            }
            Pump();
        };
        if (file != L"-") {
            step(L"create", [&] {
                if (link)
                    container->CreateLinkToFile(file, iconic);
                else
                    container->CreateObjectFromFile(file, iconic);
            });
            if (container->GetState() != osEmpty) {
                step(L"verbs", [&] {
                    for (const std::wstring& verb : container->ObjectVerbs())
                        Print(L"verb: " + verb);
                });
                for (int verb : verbs)
                    step((L"verb " + std::to_wstring(verb)).c_str(), [&] { container->DoVerb(verb); });
                Print(std::wstring(L"modified: ") + (container->Modified() ? L"yes" : L"no"));
                if (!save.empty())
                    step(L"save", [&] { container->SaveAsDocument(save); });
                if (!dataOut.empty())
                    step(L"data out", [&] {
                        TFileStream stream(dataOut, fmCreate);
                        container->SaveToStream(stream);
                    });
            }
        }
        if (!dataIn.empty()) {
            step(L"destroy", [&] { container->DestroyObject(); });
            step(L"data in", [&] {
                TFileStream stream(dataIn, fmOpenRead | fmShareDenyWrite);
                container->LoadFromStream(stream);
            });
        }
        Pump();
        if (!shot.empty() && !ShowAndSaveWindowPicture(form.Handle(), shot)) {
            Print(L"error: the picture could not be saved");
            result = 1;
        }
        step(L"destroy", [&] { container->DestroyObject(); });
    }
    if (ole)
        OleUninitialize();
    return result;
}

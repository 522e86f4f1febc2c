#pragma once
// What the tests know of the OLE test server qrv_oletest.dll: its class, the
// extension of its files, its window classes and the exported count of its
// live objects.

#include <windows.h>

namespace qrv::oletest {

// {9EE1C4AE-7FF6-46D8-9579-A1C0F30AFC0C}
constexpr CLSID ClassId = {0x9ee1c4ae, 0x7ff6, 0x46d8, {0x95, 0x79, 0xa1, 0xc0, 0xf3, 0x0a, 0xfc, 0x0c}};
constexpr const wchar_t* ProgId = L"Quorvan.OleTest.1";
constexpr const wchar_t* Extension = L".qoletest";
// The object's child window while it is active in place, and its own window.
constexpr const wchar_t* InPlaceWindowClass = L"QrvOleTestInPlace";
constexpr const wchar_t* OpenWindowClass = L"QrvOleTestOpen";
// The verbs of the registry: 0 "&Bearbeiten" (in place), 1 "&Öffnen" (own
// window), 2 "Ändern" (the next colour, with the advises).
constexpr int VerbChange = 2;
// extern "C" int QrvOleTestLiveObjects(void): objects not yet freed.
using LiveObjectsFunction = int(__cdecl*)();
constexpr const char* LiveObjectsExport = "QrvOleTestLiveObjects";

}  // namespace qrv::oletest

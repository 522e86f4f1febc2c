#pragma once
// The toolbar library's version text, which docks, tool windows and toolbar
// buttons report as their Version.

namespace qrv {

constexpr const wchar_t* kToolbarLibraryVersion = L"Quorvan-Werkzeugleisten 1.0";

}  // namespace qrv

#pragma once
// Loading libraries at run time: the module is owned by a TModuleHandle
// (freed when it goes), its entry points are bound by their types. Nothing
// else calls FreeLibrary (scripts/lint).
//
//   TModuleHandle library = LoadLibraryQuietly(L"UnRAR.dll");
//   if (library && Bind(library.Get(), "RAROpenArchive", functions.OpenArchive)) ...

#include "framework/win/Handles.h"

#include <string>

namespace qrv {

// Loads a library without the system's critical-error boxes. A path with a
// folder loads that file (its own folder first for what it needs); a bare
// name is looked for in the program's folder and the system's, never in the
// current folder or along the PATH. Empty when it cannot be loaded.
TModuleHandle LoadLibraryQuietly(const std::wstring& Path);
// A library of the system's folder only.
TModuleHandle LoadSystemLibrary(const wchar_t* Name);

// The module's entry point of that name as a function of type F; nullptr
// when it has none.
template <class F>
F ProcAddress(HMODULE Module, const char* Name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}
// Binds Target to the entry point; false when the module has none.
template <class F>
bool Bind(HMODULE Module, const char* Name, F& Target)
{
    Target = ProcAddress<F>(Module, Name);
    return Target != nullptr;
}

// The full name of a loaded module's file (nullptr: the program's); empty
// when the system cannot name it.
std::wstring ModuleFileName(HMODULE Module);

}  // namespace qrv

#pragma once
// Owned Win32 handles: one template and an alias per kind of handle, so that
// every handle the program opens is closed on every way out of its scope.
//
//   TFileHandle file(CreateFileW(...));       // INVALID_HANDLE_VALUE = none
//   if (!file) ...
//   TRegKey key; RegOpenKeyExW(root, name, 0, KEY_READ, key.Receive());
//   TSelectObject keep(dc, font);            // selected back at scope exit

#include "framework/win/WinApi.h"

#include <utility>

namespace qrv {

// Traits: Invalid() is the "no handle" value, Close(h) releases a valid one.
template <class Traits>
class TUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle handle) : handle_(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : handle_(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    // Gives the handle up without closing it.
    [[nodiscard]] Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    // Closes the handle held (if any) and takes the new one.
    void Reset(Handle handle = Traits::Invalid())
    {
        if (Valid())
            Traits::Close(handle_);
        handle_ = handle;
    }
    // For APIs that return the handle through a pointer; closes what was held.
    Handle* Receive()
    {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

namespace handle_traits {

// Files, pipes, mailslots (INVALID_HANDLE_VALUE when none).
struct FileTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
// Events, mutexes, threads, processes, file mappings (null when none).
struct KernelTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct ChangeNotificationTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindCloseChangeNotification(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
// A DC made by CreateCompatibleDC or CreateDC.
struct OwnDCTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};
// Memory the shell or COM hands out (item lists, strings).
struct TaskMemoryTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CoTaskMemFree(h); }
};

struct EnhMetaFileTraits {
    using Handle = HENHMETAFILE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteEnhMetaFile(h); }
};
struct MetaFileTraits {
    using Handle = HMETAFILE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteMetaFile(h); }
};
// A view of a file mapping from MapViewOfFile.
struct MappedViewTraits {
    using Handle = const void*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { UnmapViewOfFile(h); }
};

}  // namespace handle_traits

using TFileHandle = TUniqueHandle<handle_traits::FileTraits>;
using TKernelHandle = TUniqueHandle<handle_traits::KernelTraits>;
using TFindHandle = TUniqueHandle<handle_traits::FindTraits>;
using TChangeNotificationHandle = TUniqueHandle<handle_traits::ChangeNotificationTraits>;
using TRegKey = TUniqueHandle<handle_traits::RegKeyTraits>;
using TGdiObject = TUniqueHandle<handle_traits::GdiObjectTraits>;
using TOwnDC = TUniqueHandle<handle_traits::OwnDCTraits>;
using TIconHandle = TUniqueHandle<handle_traits::IconTraits>;
using TModuleHandle = TUniqueHandle<handle_traits::ModuleTraits>;
using TLocalMemory = TUniqueHandle<handle_traits::LocalMemoryTraits>;
using TGlobalMemory = TUniqueHandle<handle_traits::GlobalMemoryTraits>;
using TTaskMemory = TUniqueHandle<handle_traits::TaskMemoryTraits>;
using TEnhMetaFileHandle = TUniqueHandle<handle_traits::EnhMetaFileTraits>;
using TMetaFileHandle = TUniqueHandle<handle_traits::MetaFileTraits>;
using TMappedView = TUniqueHandle<handle_traits::MappedViewTraits>;

// A window's DC from GetDC (or one from GetWindowDC or GetDCEx handed in),
// released with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    TWindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
    ~TWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC and selects the previous one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelectObject()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Selects objects of one kind into a DC as often as needed (a painter that
// switches fonts run by run) and puts back what the DC held before the
// first, at Restore or at scope exit.
class TSelectionKeeper {
public:
    TSelectionKeeper() = default;
    ~TSelectionKeeper() { Restore(); }
    TSelectionKeeper(const TSelectionKeeper&) = delete;
    TSelectionKeeper& operator=(const TSelectionKeeper&) = delete;

    void Select(HDC dc, HGDIOBJ object)
    {
        if (dc_ && dc != dc_)
            Restore();
        const HGDIOBJ previous = SelectObject(dc, object);
        if (!dc_) {
            dc_ = dc;
            previous_ = previous;
        }
    }
    void Restore()
    {
        if (dc_ && previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace qrv

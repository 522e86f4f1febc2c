#pragma once
// TZipLibLoader: loads one of the two zip libraries at run time, checks its
// version, keeps it loaded while it has users and calls its command entry
// point. TZipDll and TUnzDll fix which library. Portable: the system's
// library calls come in through TLibraryApi.

#include "framework/SysUtils.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

// The zip component's exception: the id of its message text and whether it
// is to be shown. Its message is "Zipper [ id ], argument" until the
// component's string table supplies the text.
class EKyZipper : public Exception {
public:
    EKyZipper(int id, const std::wstring& argument, bool display = true);
    int Id;
    bool Display;
};

constexpr int kZipLibNotFoundId = 10650;    // the library cannot be loaded
constexpr int kZipLibBadVersionId = 10651;  // its version is outside the accepted range

// How a library is found, loaded, asked and freed.
struct TLibraryApi {
    std::function<void*(const std::wstring& path)> Load;  // nullptr on failure
    std::function<void*(void* library, const char* name)> Lookup;
    std::function<void(void* library)> Free;
    std::function<bool(const std::wstring& path)> FileExists;
    std::function<std::wstring(void* library)> ModulePath;  // "" when unknown
    std::wstring ProgramFolder;                             // with a trailing backslash
};

// What the loader asks of the component that owns it.
class IZipLibOwner {
public:
    virtual ~IZipLibOwner() = default;
    virtual std::wstring DLLDirectory() const = 0;
    virtual bool Verbose() const = 0;
    // A verbose report, as the library's own messages arrive.
    virtual void ReportMessage(const std::wstring& text) = 0;
};

enum TZipLibKind { zlkUnzip = 0, zlkZip = 1 };

// Users of a loaded library.
enum : unsigned {
    zluExec = 1,  // a command is running
    zluOnce = 2,  // loaded for one operation
    zluKeep = 4   // kept loaded by the owner
};

constexpr int kMinLibraryVersion = 153;
constexpr int kMaxLibraryVersion = 300;
constexpr int kZipComponentVersion = 173;

class TZipLibLoader {
public:
    TZipLibLoader(IZipLibOwner* owner, TZipLibKind kind, TLibraryApi api);
    virtual ~TZipLibLoader();
    TZipLibLoader(const TZipLibLoader&) = delete;
    TZipLibLoader& operator=(const TZipLibLoader&) = delete;

    // Adds the user (keep or once), loads when needed and checks the version
    // against MinVersion; raises EKyZipper (10650, 10651). Returns the version.
    int Load(int minVersion, bool keep);
    void Unload(bool keep);
    // The reported version while loaded, else 0.
    int Version() const { return library_ ? version_ : 0; }
    int PrivVersion() const { return library_ ? privVersion_ : 0; }
    bool Loaded() const { return library_ != nullptr; }
    unsigned Users() const { return users_; }
    // The library's path or name: the module's full path once loaded.
    const std::wstring& Path() const { return path_; }
    const wchar_t* LibraryName() const;

protected:
    // Calls the command entry point with the record; loads for the call
    // when needed.
    int32_t ExecRecord(const void* record);

private:
    bool OpenLibrary(bool raise);
    void CloseLibrary();
    std::wstring FindPath() const;
    void RemoveUser(unsigned user);

    IZipLibOwner* owner_;
    TZipLibKind kind_;
    TLibraryApi api_;
    void* library_ = nullptr;
    void* exec_ = nullptr;
    void* versionFunc_ = nullptr;
    void* privVersionFunc_ = nullptr;
    unsigned users_ = 0;
    int version_ = 0;
    int privVersion_ = 0;
    std::wstring path_;
    std::wstring tempCopy_;  // a copy of the library made elsewhere; none is made here
};

}  // namespace qrv

#include "archives/ZLibLoad.h"

#include "common/BaseUtils.h"
#include "external/UnzDllApi.h"
#include "external/ZipDllApi.h"
#include "framework/ScopeExit.h"

namespace qrv {

namespace {

struct TKindNames {
    const wchar_t* Library;
    const char* Exec;
    const char* Version;
    const char* PrivVersion;
};

constexpr TKindNames kUnzipNames{L"UNZDLL.DLL", "UnzDllExec", "GetUnzDllVersion", "GetUnzDllPrivVersion"};
constexpr TKindNames kZipNames{L"ZIPDLL.DLL", "ZipDllExec", "GetZipDllVersion", "GetZipDllPrivVersion"};

const TKindNames& Names(TZipLibKind kind)
{
    return kind == zlkZip ? kZipNames : kUnzipNames;
}

using TVersionFunc = int32_t(QRV_ZIPAPI*)(void);
using TExecFunc = int32_t(QRV_ZIPAPI*)(const void*);

}  // namespace

EKyZipper::EKyZipper(int id, const std::wstring& argument, bool display)
    : Exception(L"Zipper [ " + std::to_wstring(id) + L" ], " + argument), Id(id), Display(display)
{}

TZipLibLoader::TZipLibLoader(IZipLibOwner* owner, TZipLibKind kind, TLibraryApi api)
    : owner_(owner), kind_(kind), api_(std::move(api)), path_(Names(kind).Library)
{}

TZipLibLoader::~TZipLibLoader()
{
    CloseLibrary();
}

const wchar_t* TZipLibLoader::LibraryName() const
{
    return Names(kind_).Library;
}

std::wstring TZipLibLoader::FindPath() const
{
    if (!tempCopy_.empty())
        return tempCopy_;
    const std::wstring name = LibraryName();
    std::wstring folder = owner_ ? owner_->DLLDirectory() : std::wstring();
    if (folder.empty())
        return name;
    if (folder[0] == L'.')
        folder = api_.ProgramFolder + folder;  // relative to the program's folder
    const std::wstring full = AddBackslash(folder) + name;
    return api_.FileExists && api_.FileExists(full) ? full : name;
}

bool TZipLibLoader::OpenLibrary(bool raise)
{
    const std::wstring path = FindPath();
    void* library = api_.Load ? api_.Load(path) : nullptr;
    if (!library) {
        library_ = nullptr;
        exec_ = versionFunc_ = privVersionFunc_ = nullptr;
        users_ = 0;
        path_ = path;
        if (raise)
            throw EKyZipper(kZipLibNotFoundId, path);
        return false;
    }
    library_ = library;
    const TKindNames& names = Names(kind_);
    exec_ = api_.Lookup(library, names.Exec);
    versionFunc_ = api_.Lookup(library, names.Version);
    privVersionFunc_ = api_.Lookup(library, names.PrivVersion);
    const std::wstring modulePath = api_.ModulePath ? api_.ModulePath(library) : std::wstring();
    path_ = modulePath.empty() ? path : modulePath;

    version_ = versionFunc_ ? reinterpret_cast<TVersionFunc>(versionFunc_)() : 0;
    privVersion_ = privVersionFunc_ ? reinterpret_cast<TVersionFunc>(privVersionFunc_)() : 0;
    // Without a command entry point the library is as useless as one of a
    // foreign version.
    if (!exec_ || version_ < kMinLibraryVersion || version_ > kMaxLibraryVersion) {
        const std::wstring name = path_;
        CloseLibrary();
        users_ = 0;
        if (raise)
            throw EKyZipper(kZipLibBadVersionId, name);
        return false;
    }
    if (owner_ && owner_->Verbose())
        owner_->ReportMessage(L"loaded " + path_);
    return true;
}

void TZipLibLoader::CloseLibrary()
{
    if (!library_)
        return;
    api_.Free(library_);
    library_ = nullptr;
    exec_ = versionFunc_ = privVersionFunc_ = nullptr;
    if (owner_ && owner_->Verbose())
        owner_->ReportMessage(L"unloaded " + path_);
}

int TZipLibLoader::Load(int minVersion, bool keep)
{
    users_ |= keep ? zluKeep : zluOnce;
    if (!library_)
        OpenLibrary(true);
    if (version_ < minVersion) {
        const std::wstring name = path_;
        users_ = 0;
        CloseLibrary();
        throw EKyZipper(kZipLibBadVersionId, name);
    }
    return version_;
}

void TZipLibLoader::RemoveUser(unsigned user)
{
    users_ &= ~user;
    if (users_ == 0)
        CloseLibrary();
}

void TZipLibLoader::Unload(bool keep)
{
    RemoveUser(keep ? zluKeep : zluOnce);
}

int32_t TZipLibLoader::ExecRecord(const void* record)
{
    users_ |= zluExec;
    if (!library_) {
        try {
            OpenLibrary(true);
        } catch (...) {
            users_ &= ~static_cast<unsigned>(zluExec);
            throw;
        }
    }
    const ScopeExit done([this] { RemoveUser(zluExec); });
    return reinterpret_cast<TExecFunc>(exec_)(record);
}

}  // namespace qrv

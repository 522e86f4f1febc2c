// TZipDll and TUnzDll over a fake system: where the library is looked for,
// which versions are accepted, how long it stays loaded; and the syntax of
// the name patterns handed to the zip library.

#include "archives/UNZDLL.h"
#include "archives/ZIPDLL.h"
#include "archives/ZipNamePattern.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

template <int V>
int32_t QRV_ZIPAPI ReportVersion()
{
    return V;
}

int execCalls = 0;
int32_t QRV_ZIPAPI CountingExec(const void*)
{
    ++execCalls;
    return 7;
}

struct TFakeLibrary {
    int32_t(QRV_ZIPAPI* Version)() = nullptr;
};

// A file system with a few libraries on it and a loader that counts.
struct TFakeSystem {
    std::map<std::wstring, TFakeLibrary> files;  // path -> library
    std::vector<std::wstring> loads;
    int frees = 0;

    TLibraryApi Api()
    {
        TLibraryApi api;
        api.Load = [this](const std::wstring& path) -> void* {
            loads.push_back(path);
            const auto it = files.find(path);
            return it == files.end() ? nullptr : &it->second;
        };
        api.Lookup = [](void* library, const char* name) -> void* {
            const std::string entry(name);
            if (entry.find("Exec") != std::string::npos)
                return reinterpret_cast<void*>(&CountingExec);
            if (entry.find("PrivVersion") != std::string::npos)
                return nullptr;
            return reinterpret_cast<void*>(static_cast<TFakeLibrary*>(library)->Version);
        };
        api.Free = [this](void*) { ++frees; };
        api.FileExists = [this](const std::wstring& path) { return files.count(path) > 0; };
        api.ModulePath = [this](void* library) {
            for (const auto& [path, lib] : files)
                if (&lib == library)
                    return path == L"ZIPDLL.DLL" || path == L"UNZDLL.DLL" ? L"C:\\Windows\\System32\\" + path : path;
            return std::wstring();
        };
        api.ProgramFolder = L"C:\\Prog\\";
        return api;
    }
};

class TOwner : public IZipLibOwner {
public:
    std::wstring Directory;
    bool IsVerbose = false;
    std::vector<std::wstring> Messages;
    std::wstring DLLDirectory() const override { return Directory; }
    bool Verbose() const override { return IsVerbose; }
    void ReportMessage(const std::wstring& text) override { Messages.push_back(text); }
};

int ErrorId(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EKyZipper& e) {
        return e.Id;
    }
    return 0;
}

}  // namespace

TEST(ZipLibLoader, FindsTheLibraryWhereTheOwnerSaysElseByItsBareName)
{
    struct TCase {
        const wchar_t* Directory;
        std::vector<std::wstring> Files;
        const wchar_t* Expected;
    };
    const TCase cases[] = {
        {L".\\libs", {L"C:\\Prog\\.\\libs\\ZIPDLL.DLL", L"ZIPDLL.DLL"}, L"C:\\Prog\\.\\libs\\ZIPDLL.DLL"},
        {L".\\libs\\", {L"C:\\Prog\\.\\libs\\ZIPDLL.DLL"}, L"C:\\Prog\\.\\libs\\ZIPDLL.DLL"},
        {L".\\libs", {L"ZIPDLL.DLL"}, L"ZIPDLL.DLL"},
        {L"D:\\Tools", {L"D:\\Tools\\ZIPDLL.DLL"}, L"D:\\Tools\\ZIPDLL.DLL"},
        {L"D:\\Tools", {L"ZIPDLL.DLL"}, L"ZIPDLL.DLL"},
        {L"", {L"C:\\Prog\\ZIPDLL.DLL", L"ZIPDLL.DLL"}, L"ZIPDLL.DLL"},
    };
    for (const auto& c : cases) {
        TFakeSystem system;
        for (const auto& file : c.Files)
            system.files[file].Version = ReportVersion<173>;
        TOwner owner;
        owner.Directory = c.Directory;
        TZipDll zip(&owner, system.Api());
        EXPECT_EQ(zip.Load(TZipDll::MinVersion, false), 173) << c.Directory;
        ASSERT_EQ(system.loads.size(), 1u);
        EXPECT_EQ(system.loads[0], c.Expected) << c.Directory;
    }
}

TEST(ZipLibLoader, AcceptsOnlyVersionsInsideTheWindow)
{
    struct TCase {
        int32_t(QRV_ZIPAPI* Version)();
        bool Zip;
        int ExpectedError;  // 0: loaded
    };
    const TCase cases[] = {
        {ReportVersion<152>, false, kZipLibBadVersionId},
        {ReportVersion<153>, false, kZipLibBadVersionId},  // in the window, below unzip's 172
        {ReportVersion<172>, false, 0},
        {ReportVersion<172>, true, kZipLibBadVersionId},
        {ReportVersion<173>, true, 0},
        {ReportVersion<300>, true, 0},
        {ReportVersion<301>, true, kZipLibBadVersionId},
        {ReportVersion<301>, false, kZipLibBadVersionId},
    };
    for (const auto& c : cases) {
        TFakeSystem system;
        system.files[c.Zip ? L"ZIPDLL.DLL" : L"UNZDLL.DLL"].Version = c.Version;
        TOwner owner;
        std::unique_ptr<TZipLibLoader> loader;
        int minimum;
        if (c.Zip) {
            loader = std::make_unique<TZipDll>(&owner, system.Api());
            minimum = TZipDll::MinVersion;
        } else {
            loader = std::make_unique<TUnzDll>(&owner, system.Api());
            minimum = TUnzDll::MinVersion;
        }
        const int version = c.Version();
        EXPECT_EQ(ErrorId([&] { loader->Load(minimum, true); }), c.ExpectedError) << version << " zip " << c.Zip;
        EXPECT_EQ(loader->Loaded(), c.ExpectedError == 0);
        EXPECT_EQ(loader->Version(), c.ExpectedError == 0 ? version : 0);
        if (c.ExpectedError != 0) {
            EXPECT_EQ(loader->Users(), 0u);
            EXPECT_EQ(system.frees, 1);  // a refused library is not kept
        }
    }
}

TEST(ZipLibLoader, AMissingLibraryRaisesWithItsPath)
{
    TFakeSystem system;
    TOwner owner;
    owner.Directory = L".\\libs";
    TUnzDll unz(&owner, system.Api());
    try {
        unz.Load(TUnzDll::MinVersion, false);
        FAIL() << "no exception";
    } catch (const EKyZipper& e) {
        EXPECT_EQ(e.Id, kZipLibNotFoundId);
        EXPECT_NE(e.Message().find(L"UNZDLL.DLL"), std::wstring::npos);
    }
    EXPECT_FALSE(unz.Loaded());
    EXPECT_EQ(unz.Users(), 0u);
}

TEST(ZipLibLoader, StaysLoadedWhileAnyUserRemains)
{
    TFakeSystem system;
    system.files[L"ZIPDLL.DLL"].Version = ReportVersion<173>;
    TOwner owner;
    owner.IsVerbose = true;
    TZipDll zip(&owner, system.Api());

    zip.Load(TZipDll::MinVersion, true);   // the owner keeps it
    zip.Load(TZipDll::MinVersion, false);  // and one operation uses it
    EXPECT_EQ(zip.Users(), static_cast<unsigned>(zluKeep | zluOnce));
    EXPECT_EQ(system.loads.size(), 1u);
    zip.Unload(false);
    EXPECT_TRUE(zip.Loaded());
    execCalls = 0;
    ZipCommand cmd{};
    EXPECT_EQ(zip.Exec(cmd), 7);
    EXPECT_EQ(execCalls, 1);
    EXPECT_TRUE(zip.Loaded());  // the command's use ended, the owner's goes on
    zip.Unload(true);
    EXPECT_FALSE(zip.Loaded());
    EXPECT_EQ(system.frees, 1);
    EXPECT_EQ(zip.Version(), 0);

    // A command alone loads the library for itself and frees it after.
    EXPECT_EQ(zip.Exec(cmd), 7);
    EXPECT_FALSE(zip.Loaded());
    EXPECT_EQ(system.frees, 2);
    EXPECT_EQ(owner.Messages, (std::vector<std::wstring>{L"loaded C:\\Windows\\System32\\ZIPDLL.DLL",
                                                         L"unloaded C:\\Windows\\System32\\ZIPDLL.DLL",
                                                         L"loaded C:\\Windows\\System32\\ZIPDLL.DLL",
                                                         L"unloaded C:\\Windows\\System32\\ZIPDLL.DLL"}));
}

TEST(ZipNamePattern, PrefixesAndPasswordsAreTakenApart)
{
    struct TCase {
        const wchar_t* Text;
        bool DefaultEncrypt;
        const wchar_t* Spec;
        bool Encrypt;
        bool PasswordGiven;
        const wchar_t* Password;
    };
    const TCase cases[] = {
        {L"a", false, L"a", false, false, L""},
        {L"a", true, L"a", true, false, L""},
        {L">a", false, L"a", true, false, L""},
        {L"|a", true, L"a", false, false, L""},
        {L"a<pw", false, L"a", false, true, L"pw"},
        {L">*.txt<geheim wort", false, L"*.txt", true, true, L"geheim wort"},
        {L"a< ", true, L"a", true, false, L""},
        {L"a<", false, L"a", false, false, L""},
    };
    for (const auto& c : cases) {
        const TZipNamePattern spec = ParseZipNamePattern(c.Text, c.DefaultEncrypt);
        EXPECT_EQ(spec.Spec, c.Spec) << c.Text;
        EXPECT_EQ(spec.Encrypt, c.Encrypt) << c.Text;
        EXPECT_EQ(spec.PasswordGiven, c.PasswordGiven) << c.Text;
        EXPECT_EQ(spec.Password, c.Password) << c.Text;
    }
}

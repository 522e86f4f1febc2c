// qrvarc: a developer's tool that drives the archive components as the
// archive list does and prints what they report.
//   qrvarc list|test|extract KIND ARCHIVE [DIR] [--paths] [--password P]
//   qrvarc add|delete zip ARCHIVE SPEC... [--paths] [--password P]
// KIND: rar (TKyRAR over "UnRAR.dll"), ace (TKyACE2 over "UnAceV2.Dll"),
// cab (TKyCAB over the system's cabinet.dll; list and extract) or unzip
// (TUnzDll over "UNZDLL.DLL"; test and extract) or zip (the zip component
// TKyZipper: list, test, extract, add, delete; sets with ".z01" names).
// Exit code 0 when the operation succeeded.

#include "archives/KyACE2.h"
#include "archives/KyRarArc.h"
#include "archives/UNZDLL.h"
#include "archives/win/ArchivePlatforms.h"
#include "archives/win/KyCab.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"

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

std::wstring Hex(uint32_t value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%08X", value);
    return text;
}

std::wstring OemText(const char* bytes)
{
    return SystemOemEncoding().GetString(bytes);
}

struct TArgs {
    std::wstring Operation, Kind, Archive, Dir, Password;
    std::vector<std::wstring> Specs;  // everything after ARCHIVE
    bool Paths = false;
    bool HasPassword = false;
};

int RunRar(const TArgs& args)
{
    TKyRAR rar(nullptr, SystemRarPlatform());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    rar.SetDLLDirectory(ExtractFilePath(self));  // the libraries lie beside the tools
    rar.SetArchiveName(args.Archive);
    rar.SetTargetDir(args.Dir);
    rar.OnError = [](TKyRAR*, const std::wstring& file, int code) {
        Print(L"error " + std::to_wstring(code) + L" " + file + L": " + TKyRAR::ErrorText(code));
    };
    rar.OnComment = [](TKyRAR*, const TComment& comment) {
        Print(L"comment: " + Utf8ToWide(std::string(comment.Text, comment.Size ? comment.Size - 1 : 0)));
    };
    rar.OnReqPassword = [&](TKyRAR*, const RARHeaderData&, std::wstring& password) {
        if (args.HasPassword)
            password = args.Password;
    };
    rar.OnExtract = [](TKyRAR*, const RARHeaderData& header, bool ok) {
        Print(std::wstring(ok ? L"extracted " : L"failed ") + std::to_wstring(header.UnpSize) + L" " +
              OemText(header.FileName));
    };
    rar.OnTested = [](TKyRAR*, const RARHeaderData& header, bool ok) {
        Print(std::wstring(ok ? L"ok " : L"bad ") + OemText(header.FileName));
    };
    if (args.Operation == L"list") {
        rar.List();
        for (int i = 0; i < rar.Count(); ++i) {
            const TRarEntry& e = rar.Items(i);
            Print(std::to_wstring(e.UnpSize) + L" " + std::to_wstring(e.PackSize) + L" " + Hex(e.FileCRC) + L" " +
                  Hex(e.FileTime) + (e.Encrypted ? L" * " : L"   ") + e.FileName);
        }
        return rar.LastError() == 0 ? 0 : 1;
    }
    if (args.Operation == L"test")
        return rar.Test() ? 0 : 1;
    if (args.Operation == L"extract")
        return rar.Extract(args.Paths) ? 0 : 1;
    return 2;
}

int RunAce(const TArgs& args)
{
    TKyACE2 ace(nullptr, SystemAcePlatform());
    ace.OnMessage = [](TKyACE2*, const std::wstring& text) { Print(L"message " + text); };
    ace.OnPassword = [&](TKyACE2*, const tACEFileDataStruc&, std::wstring& password) {
        if (args.HasPassword)
            password = args.Password;
    };
    ace.OnOverwrite = [](TKyACE2*, const tACEFileDataStruc&, bool& doExtract) { doExtract = true; };
    ace.OnTested = [](TKyACE2*, const tACEFileDataStruc& file, bool ok) {
        Print(std::wstring(ok ? L"ok " : L"bad ") + Utf8ToWide(file.SourceFileName));
    };
    ace.OnExtracted = [](TKyACE2*, const tACEFileDataStruc& file, bool ok) {
        Print(std::wstring(ok ? L"extracted " : L"failed ") + Utf8ToWide(file.SourceFileName));
    };
    ace.SetArchiveName(args.Archive);
    if (ace.ArchiveName().empty())
        return 1;
    ace.SetTargetDir(args.Dir);
    if (args.Operation == L"list") {
        const bool ok = ace.List();
        for (int i = 0; i < ace.Count(); ++i) {
            const TAceEntry& e = ace.Items(i);
            Print(std::to_wstring(e.UnpSize) + L" " + std::to_wstring(e.PackSize) + L" " + Hex(e.CRC) + L" " +
                  Hex(e.FileTime) + (e.Encrypted ? L" * " : L"   ") + e.FileName);
        }
        return ok ? 0 : 1;
    }
    if (args.Operation == L"test")
        return ace.Test() ? 0 : 1;
    if (args.Operation == L"extract")
        return ace.Extract(args.Paths) ? 0 : 1;
    return 2;
}

int RunCab(const TArgs& args)
{
    TKyCAB cab(nullptr);
    bool failed = false;
    cab.OnError = [&](TKyCAB*, const std::wstring& text) {
        Print(L"error " + text);
        failed = true;
    };
    cab.OnCloseCopyFile = [](TKyCAB*, const std::wstring& name, int) { Print(L"extracted " + name); };
    cab.SetArchiveName(args.Archive);
    if (failed)
        return 1;
    if (args.Operation == L"list") {
        const bool ok = cab.List();
        for (int i = 0; i < cab.Count(); ++i) {
            const TCabEntry& e = cab.Items(i);
            Print(std::to_wstring(e.Size) + L" " + Hex(e.DateTime) + L" " + e.Name);
        }
        return ok ? 0 : 1;
    }
    if (args.Operation == L"extract") {
        cab.SetTargetDir(args.Dir);
        return cab.Extract(args.Paths) ? 0 : 1;
    }
    Print(L"cab: only list and extract");
    return 2;
}

class TToolOwner : public IZipLibOwner {
public:
    std::wstring DLLDirectory() const override { return L"."; }
    bool Verbose() const override { return false; }
    void ReportMessage(const std::wstring& text) override { Print(text); }
};

int32_t QRV_ZIPAPI ZipReport(ZipCallbackData* data)
{
    const std::wstring text = Utf8ToWide(data->Msg);
    switch (data->ActionCode) {
    case zacItem:
        Print(L"item " + std::to_wstring(data->FileSize) + L" " + text);
        break;
    case zacMessage:
        Print(L"message " + std::to_wstring(data->ErrorCode) + L" " + text);
        break;
    case zacPassword:
        Print(L"password asked: " + text);
        break;
    case zacCRCError:
        Print(L"crc error " + text + L" found " + Hex(static_cast<uint32_t>(data->Arg1)) + L" expected " +
              Hex(static_cast<uint32_t>(data->Arg2)));
        break;
    case zacOverwrite:
        Print(L"exists: " + text);
        break;
    case zacSkipped:
        Print(L"skipped " + std::to_wstring(data->ErrorCode) + L" " + text);
        break;
    default:
        break;
    }
    return 0;
}

int RunUnzip(const TArgs& args)
{
    if (args.Operation != L"test" && args.Operation != L"extract") {
        Print(L"unzip: only test and extract");
        return 2;
    }
    TToolOwner owner;
    TUnzDll unz(&owner, SystemLibraryApi());
    try {
        unz.Load(TUnzDll::MinVersion, false);
    } catch (const Exception& ex) {
        Print(ex.Message());
        return 1;
    }
    const std::string archive = WideToUtf8(args.Archive);
    const std::string dir = WideToUtf8(args.Dir);
    const std::string password = WideToUtf8(args.Password);
    UnzCommand cmd{};
    cmd.Version = unz.Version();
    cmd.Callback = ZipReport;
    cmd.Password = args.HasPassword ? password.c_str() : nullptr;
    cmd.fTest = args.Operation == L"test" ? QRV_ZIP_TRUE : QRV_ZIP_FALSE;
    cmd.fQuiet = QRV_ZIP_TRUE;
    cmd.fDirectories = args.Paths ? QRV_ZIP_TRUE : QRV_ZIP_FALSE;
    cmd.fOverwrite = QRV_ZIP_TRUE;
    cmd.ZipFileName = archive.c_str();
    cmd.PasswordReqCount = 1;
    cmd.ExtractDir = dir.empty() ? nullptr : dir.c_str();
    cmd.fSeven = QRV_ZIP_RECORD_END;
    const int32_t done = unz.Exec(cmd);
    unz.Unload(false);
    Print(L"files: " + std::to_wstring(done));
    return done >= 0 ? 0 : 1;
}

int RunZip(const TArgs& args)
{
    TKyZipper zipper(nullptr);
    zipper.Unattended = true;
    zipper.SpanOptions = spCompatName;
    zipper.Password = args.Password;
    zipper.OnMessage = [](TComponent*, int, const std::wstring& text) { Print(text); };
    zipper.CallbackEvents().OnMessage = [](int, const std::u16string& text) {
        Print(std::wstring(text.begin(), text.end()));
    };
    zipper.SetZipFileName(args.Archive);
    if (args.Operation == L"list") {
        for (const ZipDirEntry& entry : zipper.ZipContents())
            Print(std::to_wstring(entry.UncomprSize) + L" " + Hex(entry.CRC32) + L" " +
                  std::wstring(entry.FileName.begin(), entry.FileName.end()));
        Print(L"entries: " + std::to_wstring(zipper.Count()));
        return zipper.ErrCode() == 0 ? 0 : 1;
    }
    int result = 0;
    if (args.Operation == L"test" || args.Operation == L"extract") {
        zipper.ExtrBaseDir = args.Dir;
        zipper.ExtrOptions = ExtrOverWrite | ExtrForceDirs | (args.Paths ? ExtrDirNames : 0u) |
                             (args.Operation == L"test" ? ExtrTest : 0u);
        zipper.FSpecArgs = {L"*.*"};
        result = zipper.Extract();
    } else if (args.Operation == L"add" || args.Operation == L"delete") {
        zipper.FSpecArgs = args.Specs;
        zipper.AddOptions = AddRecurseDirs | (args.Paths ? AddDirNames : 0u);
        result = args.Operation == L"add" ? zipper.Add() : zipper.Delete();
    } else {
        Print(L"zip: list, test, extract, add or delete");
        return 2;
    }
    Print(L"files: " + std::to_wstring(zipper.SuccessCnt()));
    return result == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    TArgs args;
    std::vector<std::wstring> plain;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--paths") {
            args.Paths = true;
        } else if (arg == L"--password" && i + 1 < argc) {
            args.Password = argv[++i];
            args.HasPassword = true;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() < 3) {
        Print(L"usage: qrvarc list|test|extract|add|delete rar|ace|cab|unzip|zip ARCHIVE [DIR|SPEC...] [--paths] "
              L"[--password P]");
        return 2;
    }
    args.Operation = plain[0];
    args.Kind = plain[1];
    args.Archive = plain[2];
    if (plain.size() > 3)
        args.Dir = plain[3];
    args.Specs.assign(plain.begin() + 3, plain.end());
    if (args.Kind == L"rar")
        return RunRar(args);
    if (args.Kind == L"unzip")
        return RunUnzip(args);
    if (args.Kind == L"ace")
        return RunAce(args);
    if (args.Kind == L"cab")
        return RunCab(args);
    if (args.Kind == L"zip")
        return RunZip(args);
    Print(L"unknown kind: " + args.Kind);
    return 2;
}

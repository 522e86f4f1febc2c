#include "archives/win/KyCab.h"

#include "archives/CabinetRules.h"
#include "common/BaseUtils.h"
#include "common/RunTargets.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/FileQueries.h"
#include "common/win/ShellNotify.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"

#include <fcntl.h>
#include <memory>
#include <shlobj.h>

namespace qrv {

namespace {

// The folders of Folder that do not exist yet, deepest first.
std::vector<std::wstring> MissingFolders(std::wstring folder)
{
    std::vector<std::wstring> missing;
    while (!folder.empty() && !PathExists(folder)) {
        missing.push_back(folder);
        const std::wstring parent = ExtractFilePath(RemoveBackslash(folder));
        if (parent.size() >= folder.size())
            break;
        folder = parent;
    }
    return missing;
}

}  // namespace

TKyCAB::TKyCAB(TComponent* owner) : TComponent(owner), reader_(new TCabinetReader(this))
{
    filesToExtract_.SetSorted(true);
}

void TKyCAB::Error(const std::wstring& text)
{
    if (OnError)
        OnError(this, text);
}

std::wstring TKyCAB::StoredName(const std::string& bytes, uint16_t attribs) const
{
    return CabinetStoredName(bytes, attribs,
                             [](std::string_view ansi) { return TEncoding::Default().GetString(ansi); });
}

bool TKyCAB::IsCabinet(const std::wstring& fileName)
{
    try {
        FDICABINETINFO info{};
        return reader_->IsCabinet(fileName, info);
    } catch (const Exception&) {
        return false;
    }
}

bool TKyCAB::CheckArchiveName()
{
    if (archiveName_.empty()) {
        Error(L"UNCAB: Es ist keine Archivdatei geöffnet.");
        return false;
    }
    if (!PathExists(archiveName_)) {
        Error(L"UNCAB: Die Datei \"" + archiveName_ + L"\" ist nicht vorhanden oder kann nicht geöffnet werden.");
        return false;
    }
    return true;
}

void TKyCAB::SetArchiveName(const std::wstring& name)
{
    if (name == archiveName_)
        return;
    entries_.clear();
    slashNames_ = false;
    if (name.empty())
        return;
    if (FileExists(name) && IsCabinet(name))
        archiveName_ = name;
    else
        Error(L"UNCAB: \"" + name + L"\" ist kein gültiges Cabinet-Archiv");
}

void TKyCAB::SetFilesToExtract(const TStrings& names)
{
    filesToExtract_.Clear();
    for (int i = 0; i < names.Count(); ++i)
        filesToExtract_.Add(slashNames_ ? ReplaceChar(names.Get(i), L'\\', L'/') : names.Get(i));
}

void TKyCAB::SetTargetDir(const std::wstring& dir)
{
    targetDir_ = dir.empty() ? dir : AddBackslash(dir);
}

bool TKyCAB::Run(const std::wstring& destination)
{
    busy_ = true;
    const ScopeExit notBusy([this] { busy_ = false; });
    try {
        reader_->Copy(archiveName_, destination);
        return true;
    } catch (const ECabinetError& e) {
        Error(L"UNCAB: " + e.Message());
    } catch (const Exception& e) {
        Error(L"UNCAB: " + e.Message());
    } catch (const std::exception& e) {
        Error(L"UNCAB: " + Utf8ToWide(e.what()));
    }
    return false;
}

bool TKyCAB::List()
{
    // FDI cannot be entered again while it runs, and the run's handlers would
    // be replaced under it.
    if (busy_)
        return false;
    Stop = false;
    entries_.clear();
    if (!CheckArchiveName())
        return false;
    reader_->OnCloseCopiedFile = nullptr;
    reader_->OnCopyFile = [this](TCabinetReader*, const std::string& name, int32_t size, uint16_t date, uint16_t time,
                                 uint16_t attribs, TFileCopyAction& action, INT_PTR&) {
        const std::wstring stored = StoredName(name, attribs);
        if (stored.find(L'/') != std::wstring::npos)
            slashNames_ = true;
        TCabEntry entry;
        entry.Name = CabinetListedName(stored);
        entry.DateTime = PackCabinetDateTime(date, time);
        entry.Size = static_cast<uint32_t>(size);
        entry.Attributes = attribs;
        entries_.push_back(std::move(entry));
        action = fcaSkip;
    };
    return Run(L"");
}

bool TKyCAB::Extract(bool usePaths)
{
    if (busy_)
        return false;
    if (!CheckArchiveName())
        return false;
    usePaths_ = usePaths;
    copied_ = 0;
    refused_ = 0;
    Stop = false;
    // Files whose names differ only in case are named apart.
    auto written = std::make_shared<TRunTargets>([](const std::wstring& name) { return PathExists(name); });
    reader_->OnCopyFile = [this, written](TCabinetReader* reader, const std::string& name, int32_t size, uint16_t date,
                                          uint16_t time, uint16_t attribs, TFileCopyAction& action, INT_PTR& handle) {
        const std::wstring stored = StoredName(name, attribs);
        TCabCopyPlan plan = PlanCabinetCopy(Stop, filesToExtract_, stored, usePaths_, targetDir_);
        if (plan.Decision == TCabCopyDecision::Copy)
            plan.Target = written->Free(plan.Target);
        if (plan.Decision == TCabCopyDecision::Refuse) {
            ++refused_;
            Error(L"UNCAB: Die Datei \"" + stored + L"\" kann nicht angelegt werden.");
        }
        if (plan.Decision != TCabCopyDecision::Copy) {
            action = fcaSkip;
            return;
        }
        ++copied_;
        action = fcaCopy;
        if (OnCopyFile)
            OnCopyFile(this, plan.Target, size, date, time, attribs, action);
        if (action != fcaCopy)
            return;
        const std::wstring folder = ExtractFilePath(plan.Target);
        const std::vector<std::wstring> created = MissingFolders(folder);
        if (!created.empty()) {
            SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
            NotifyShell(TShellChange::FolderCreated, folder, TShellNoticeWait::FlushNoWait);
        }
        int error = 0;
        handle = reader->FileHandler().Open(WideToUtf8(plan.Target), _O_CREAT | _O_WRONLY | _O_BINARY, 0, error);
        if (handle == -1) {
            // Refused with the system's reason; the folders made for it go
            // again, and the run goes on with the next file.
            for (const std::wstring& made : created)
                if (PathExists(made) && !RemoveDirectoryW(made.c_str()))
                    TraceIgnoredFailure(L"removing a folder made for a refused cabinet file", GetLastError());
            --copied_;
            ++refused_;
            Error(L"UNCAB: Die Datei \"" + stored + L"\" kann nicht angelegt werden. " +
                  Win32ErrorText(static_cast<DWORD>(error)));
            action = fcaSkip;
            handle = 0;
            return;
        }
        reader->RememberTarget(handle, plan.Target);
        written->Written(plan.Target);
        NotifyShell(TShellChange::FileCreated, plan.Target, TShellNoticeWait::FlushNoWait);
    };
    reader_->OnCloseCopiedFile = [this](TCabinetReader*, const std::string& name, INT_PTR, uint16_t, uint16_t,
                                        uint16_t attribs, int, bool, bool&) {
        if (OnCloseCopyFile)
            OnCloseCopyFile(this, StoredName(name, attribs), copied_);
    };
    // A corrupt cabinet fails the run whatever error code the system kept.
    return Run(targetDir_) && refused_ == 0;
}

}  // namespace qrv

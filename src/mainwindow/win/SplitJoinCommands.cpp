#include "mainwindow/win/SplitJoinCommands.h"

#include "common/win/FileQueries.h"
#include "dialogs/SplitFileFields.h"
#include "dialogs/win/Progressform.h"
#include "dialogs/win/SplitFileDialogs.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/ListBox.h"
#include "framework/win/WaitCursor.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

std::wstring WithBackslash(std::wstring Folder)
{
    if (!Folder.empty() && Folder.back() != L'\\')
        Folder += L'\\';
    return Folder;
}

// Remembered only when it is not the list's own folder.
std::wstring RememberedTarget(const std::wstring& Target, const std::wstring& ListFolder)
{
    return UpperCase(WithBackslash(Target)) == UpperCase(WithBackslash(ListFolder)) ? std::wstring() : Target;
}

std::wstring NameOf(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L'\\');
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

TMsgDlgButtons BoxButtons(uint8_t Buttons)
{
    TMsgDlgButtons buttons = 0;
    const std::pair<TSplitButton, TMsgDlgBtn> map[] = {{sbOk, mbOK},         {sbCancel, mbCancel}, {sbRetry, mbRetry},
                                                       {sbIgnore, mbIgnore}, {sbYes, mbYes},       {sbNo, mbNo},
                                                       {sbHelp, mbHelp}};
    for (const auto& [ours, box] : map)
        if (Buttons & ours)
            buttons |= box;
    return buttons;
}

TSplitButton Answer(int ModalResult)
{
    switch (ModalResult) {
    case mrOk:
        return sbOk;
    case mrRetry:
        return sbRetry;
    case mrIgnore:
        return sbIgnore;
    case mrYes:
        return sbYes;
    case mrNo:
        return sbNo;
    default:
        return sbCancel;  // a closed box too
    }
}

}  // namespace

TSplitJoinCommands::TSplitJoinCommands(TMainWindowServices& Services, TSplitJoinCommandsHost& Host,
                                       TSplitFileSystem& Files)
    : services_(Services), host_(Host), files_(Files), partSize_(kDefaultSplitSize)
{}

TSplitJoinUi TSplitJoinCommands::Questions(int HelpContext)
{
    TSplitJoinUi ui;
    ui.Ask = [this, HelpContext](const std::wstring& Text, TSplitBoxKind Kind, uint8_t Buttons) {
        return Answer(services_.ShowMessageBox(
            Text, Kind == TSplitBoxKind::Error ? TMsgDlgType::mtError : TMsgDlgType::mtConfirmation, HelpContext,
            BoxButtons(Buttons)));
    };
    ui.Label = [](const std::wstring&) {};
    ui.Step = [] {};
    ui.Stopped = [this] { return services_.Terminating(); };
    return ui;
}

void TSplitJoinCommands::SplitFileExecute()
{
    if (running_)
        return;
    const ScopeExit ended([this] { running_ = false; });
    running_ = true;
    std::vector<std::pair<std::wstring, uint64_t>> originals;
    for (const TCommandItem& item : host_.ActiveSelection()) {
        if (item.Directory)
            continue;
        const std::optional<TSplitFileInfo> info = files_.Info(item.FullPath);
        if (!info || (info->Attributes & kSplitDirectory))
            continue;
        if (!FitsSplit(info->Size)) {
            MessageBeep(MB_ICONHAND);
            services_.ShowMessageBox(SplitTooLargeText(item.Name), TMsgDlgType::mtError, kSplitHelpContext, mbOK);
            return;
        }
        originals.emplace_back(item.FullPath, info->Size);
    }
    if (originals.empty())
        return;

    const std::wstring listFolder = host_.ActiveListFolder();
    TSplitFileDialog form(nullptr);
    form.SetPartSize(partSize_);
    form.TargetDir->SetText(splitTarget_.empty() ? listFolder : splitTarget_);
    if (!host_.ExecuteSplitDialog(form))
        return;
    const std::wstring target = form.TargetDir->Text();
    if (target.empty() || !DirExists(target)) {
        services_.ShowMessageBox(SplitNoTargetText(target), TMsgDlgType::mtError, kSplitHelpContext, mbOK);
        return;
    }
    const std::optional<uint64_t> size = form.PartSize();
    if (const std::wstring problem = SplitSizeProblem(size); !problem.empty()) {
        services_.ShowMessageBox(problem, TMsgDlgType::mtError, kSplitHelpContext, mbOK);
        return;
    }
    partSize_ = *size;
    splitTarget_ = RememberedTarget(target, listFolder);

    const TWaitCursor hourglass;
    host_.PauseListWatching();
    const ScopeExit watchAgain([this] { host_.ResumeListWatching(); });
    uint64_t steps = 0;
    for (const auto& [path, fileSize] : originals)
        steps += SplitProgressSteps(fileSize, partSize_);
    {
        TProgressSession progress(services_.Window(), L"Datei aufteilen",
                                  static_cast<int>(std::min<uint64_t>(steps, INT_MAX)),
                                  [this](TForm& form) { services_.PlaceProgressForm(form); });
        TProgressform& bar = progress.Form();
        TSplitJoinUi ui = Questions(kSplitHelpContext);
        ui.Step = [&bar] { bar.Step(); };
        ui.Stopped = [this, &bar] { return bar.Aborted() || services_.Terminating(); };
        TSplitJoin engine(files_, ui, SystemAnsiEncoding());
        for (const auto& [path, fileSize] : originals) {
            bar.SetLabelText(NameOf(path) + L" wird aufgeteilt...");
            if (!engine.SplitFileParts(path, partSize_, WithBackslash(target)) || ui.Stopped())
                break;
        }
    }
    services_.RefreshStatusBar();
}

void TSplitJoinCommands::CombineFileExecute()
{
    if (running_)
        return;
    const ScopeExit ended([this] { running_ = false; });
    running_ = true;
    std::vector<std::wstring> parts;
    for (const TCommandItem& item : host_.ActiveSelection())
        if (!item.Directory)
            parts.push_back(item.FullPath);
    if (parts.empty())
        return;
    const std::wstring listFolder = host_.ActiveListFolder();
    TSplitJoin::TJoinPlan plan;
    {
        const TWaitCursor hourglass;
        TSplitJoin planner(files_, Questions(kJoinHelpContext), SystemAnsiEncoding());
        plan = planner.PlanJoin(std::move(parts), listFolder);
    }
    if (plan.Work.empty())
        return;

    TCombineFileDialog form(nullptr);
    for (const std::wstring& original : plan.Originals)
        form.FileList->Items().Add(original);
    form.TargetDir->SetText(joinTarget_.empty() ? listFolder : joinTarget_);
    if (!host_.ExecuteCombineDialog(form))
        return;
    const std::wstring target = form.TargetDir->Text();
    joinTarget_ = RememberedTarget(target, listFolder);

    const TWaitCursor hourglass;
    {
        TProgressSession progress(services_.Window(), L"Datei zusammensetzen",
                                  static_cast<int>(std::min<size_t>(plan.Work.size(), INT_MAX)),
                                  [this](TForm& form) { services_.PlaceProgressForm(form); });
        TProgressform& bar = progress.Form();
        TSplitJoinUi ui = Questions(kJoinHelpContext);
        ui.Label = [&bar](const std::wstring& text) { bar.SetLabelText(text); };
        ui.Step = [&bar] { bar.Step(); };
        ui.Stopped = [this, &bar] { return bar.Aborted() || services_.Terminating(); };
        TSplitJoin engine(files_, ui, SystemAnsiEncoding());
        // A join the user stopped leaves the target as far as it was written.
        engine.RunJoin(plan, target);
    }
    services_.RefreshStatusBar();
}

}  // namespace qrv

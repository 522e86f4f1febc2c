#include "mainwindow/win/ArchiveListEvents.h"

#include "dialogs/win/Progressform.h"
#include "framework/IgnoredError.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/ArchiveListTexts.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

TArchiveListEvents::TArchiveListEvents(const TMainPanes& Panes, TMainWindowServices& Services, const TOptions& Options)
    : panes_(Panes), services_(Services), options_(Options)
{}

TArchiveListEvents::~TArchiveListEvents() = default;

void TArchiveListEvents::Connect()
{
    TKyZipLV* list = panes_.ZipLV;
    if (!list)
        return;
    list->OnMessage = [this](TComponent*, int Code, const std::wstring& Text) { Message(Code, Text); };
    list->OnDirUpdate = [this](TComponent*) { DirUpdate(); };
    list->OnDeleteFiles = [this](TComponent*, bool& DoDelete) { DeleteFiles(DoDelete); };
    list->OnStartExtract = [this](TComponent*, int Total) { StartExtract(Total); };
    list->OnProgress = [this](TComponent*, int Actual) { Progress(Actual); };
    list->OnEndExtract = [this](TComponent*) { EndExtract(); };
    list->OnSelDir = [this](TComponent*, TSelDirParams& Params, const TSelDirConsts& Consts) {
        SelDir(Params, Consts);
    };
    list->OnKeyDown = [this, previous = std::move(list->OnKeyDown)](TComponent* Sender, uint16_t& Key,
                                                                    TShortCut Shift) {
        if (previous)
            previous(Sender, Key, Shift);
        KeyDown(Key);
    };
    for (TNotifyEvent* event : {&list->OnEnter, &list->OnExit})
        *event = [this, previous = std::move(*event)](TComponent* Sender) {
            if (previous)
                previous(Sender);
            if (RebuildFilterBox)
                RebuildFilterBox();
        };
}

void TArchiveListEvents::KeyDown(uint16_t& Key)
{
    if (Key != VK_DELETE || !DeleteEnabled || !DeleteEnabled() || !panes_.ZipLV)
        return;
    Key = 0;
    panes_.ZipLV->DeleteSelected();
}

bool TArchiveListEvents::ListFocused() const
{
    TKyZipLV* list = panes_.ZipLV;
    if (!list || !list->HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    return focus && (focus == list->Handle() || IsChild(list->Handle(), focus));
}

void TArchiveListEvents::Message(int /*Code*/, const std::wstring& Text)
{
    if (progress_ && !progress_->Finished()) {
        progress_->SetLabelText(Text);
        if (progress_->HandleAllocated())
            UpdateWindow(progress_->Handle());
        return;
    }
    if (ShowStatusText)
        ShowStatusText(Text);
}

void TArchiveListEvents::DirUpdate()
{
    if (!ListFocused())
        return;
    services_.UpdateActionStates();
    if (UpdateSelectionStatus)
        UpdateSelectionStatus();
}

void TArchiveListEvents::DeleteFiles(bool& DoDelete)
{
    if (!AsksArchiveDelete(options_.ConfirmLogicalDel, options_.ConfirmPhysicalDel))
        return;
    const unsigned count = panes_.ZipLV ? static_cast<unsigned>(panes_.ZipLV->Items().SelCount()) : 0;
    DoDelete = services_.ShowMessageBox(ArchiveDeleteQuestion(count), TMsgDlgType::mtConfirmation, kArchiveHelpContext,
                                        mbOK | mbCancel) == mrOk;
}

void TArchiveListEvents::StartExtract(int TotalFiles)
{
    if (!ShowsArchiveProgress(TotalFiles) || progress_)
        return;
    progress_ = std::make_unique<TProgressform>(services_.Window(), services_.Window());
    services_.PlaceProgressForm(*progress_);
    progress_->OnAbort = [this] { AbortExecute(); };
    progress_->Start(ArchiveProgressTitle(panes_.ZipLV ? panes_.ZipLV->OperationKind() : 0), TotalFiles);
}

void TArchiveListEvents::Progress(int ActualFile)
{
    if (!progress_)
        return;
    try {
        progress_->Progress(ActualFile);
    } catch (const std::exception&) {
        TraceIgnoredException(L"the archive list's progress");
    }
}

void TArchiveListEvents::EndExtract()
{
    if (progress_) {
        progress_->Finish();
        progress_.reset();
    }
    services_.RefreshStatusBar();
    if (UpdateSelectionStatus)
        UpdateSelectionStatus();
}

void TArchiveListEvents::SelDir(TSelDirParams& Params, const TSelDirConsts& Consts)
{
    TSelDirParams chosen = Params;
    Params.Canceled = !ChooseFolder || !ChooseFolder(chosen, Consts);
    if (Params.Canceled)
        return;
    Params.Directory = chosen.Directory;
    Params.Checked = chosen.Checked;
    if (SetLastTarget)
        SetLastTarget(chosen.Directory);
}

void TArchiveListEvents::AbortExecute()
{
    if (panes_.ZipLV && panes_.ZipLV->Visible())
        panes_.ZipLV->AbortOperation(true);
}

}  // namespace qrv

#include "mainwindow/win/FileDisplay.h"

#include "archives/win/KyZipLV.h"
#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "common/UrlRules.h"
#include "common/win/FileQueries.h"
#include "editor/win/EasyEditor.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Image.h"
#include "framework/win/Picture.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/WaitCursor.h"
#include "imaging/win/SystemPictures.h"
#include "mainwindow/win/PictureConverter.h"
#include "panels/win/ShellLinks.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "viewers/win/KyOleCtnrs.h"
#include "widgets/win/KyResources.h"

#include <commdlg.h>
#include <shellapi.h>

#include <initializer_list>

namespace qrv {

uint8_t TFileDisplay::ForcedMode() const
{
    return Options.FileDisplay;
}

void TFileDisplay::SetForcedMode(uint8_t Mode)
{
    Options.FileDisplay = Mode;
}

TFileDisplay::TFileDisplay(const TMainPanes& Panes, TMainWindowServices& Services, TFileDisplayHost& Host)
    : panes_(Panes), services_(Services), host_(Host)
{
    if (panes_.EasyEdit) {
        // Texts are shown with their line numbers in the gutter.
        panes_.EasyEdit->LineNumbers().SetVisible(true);
        panes_.EasyEdit->LineNumbers().SetOptions(lnPaintOnGutter);
        panes_.EasyEdit->LineNumbers().SetStartFrom(1);
        // While the thumb is dragged the hint names the line at the top; a
        // search starts with the selection or the word at the caret and
        // selects what it found.
        panes_.EasyEdit->SetOptions(panes_.EasyEdit->Options() | eoShowScrollHint | eoFindTextAtCursor |
                                    eoSelectFoundText);
        panes_.EasyEdit->OnScrollHint = [](TComponent*, int Line, int, std::wstring& Hint) {
            Hint = L"Zeile " + std::to_wstring(Line + 1);
        };
        EasyParser = std::make_unique<TEasyEditorParser>(nullptr);
        panes_.EasyEdit->GetEditSource()->SetParser(EasyParser.get());
    }
}

void TFileDisplay::ListView1Change(const std::wstring& FocusedPath)
{
    if (viewFile_ && FocusedPath != viewedFile_)
        RequestDisplay();
}

void TFileDisplay::DisplaySelectedFile()
{
    if (services_.Terminating() || !viewFile_)
        return;
    const TDisplayListState list = host_.ActiveListState();
    TDisplayFacts facts;
    facts.Loading = list.Loading;
    facts.ViewFile = viewFile_;
    facts.Frozen = freezeDisplay_;
    facts.ViewedFile = viewedFile_;
    facts.FocusedPath = list.FocusedPath;
    facts.FocusedIsDirectory = list.FocusedIsDirectory;
    facts.FocusedIsParent = list.FocusedIsParent;
    facts.ListFolder = list.Folder;
    facts.ForcedMode = ForcedMode();
    facts.FollowLinks = Options.FollowLinks;
    facts.LinkTarget = [](const std::wstring& link) { return GetShellLinkTarget(link, false, false); };
    facts.FileExists = [](const std::wstring& path) { return FileExists(path); };
    facts.Excluded = [this](const std::wstring& name) { return host_.IsExcluded(name); };

    ScopeExit updateActions([this] { services_.UpdateActionStates(); });
    TDisplayDecision decision;
    try {
        decision = DecideDisplay(facts);
    } catch (...) {
        TraceIgnoredException(L"file display: shortcut target");
        return;
    }
    if (decision.Action == TDisplayAction::daNothing)
        return;
    // A changed text that is not let go keeps the display as it is.
    if (!ClearDisplay())
        return;
    viewedFile_ = decision.NewViewedFile;

    switch (decision.Action) {
    case TDisplayAction::daNothing:
        return;
    case TDisplayAction::daNoFile:
        ShowDisplayError(L"Keine anzuzeigende Datei ausgewählt.");
        return;
    case TDisplayAction::daDirectory:
        ShowPane(panes_.DirPanel);
        panes_.DirPanel->ShowDirectory(L"");
        panes_.DirPanel->ShowDirectory(decision.Path);
        return;
    case TDisplayAction::daLink:
        ShowPane(panes_.LinkPanel);
        panes_.LinkPanel->ShowLink(L"");
        panes_.LinkPanel->ShowLink(decision.Path);
        return;
    case TDisplayAction::daExcluded:
        ShowDisplayError(L"Die Datei \"" + decision.Name + L"\" wurde von der Anzeige ausgeschlossen.");
        return;
    case TDisplayAction::daViewer:
        break;
    }

    // The content test reads the file's first bytes once for the choice and
    // the text view together.
    std::optional<TTextFileKind> kind;
    try {
        TViewerChoiceFacts choice;
        choice.ForcedMode = ForcedMode();
        choice.ViewArchive = Options.ViewArchive && panes_.ZipLV;
        choice.InFamily = [&](TExtFamily family) { return InExtFamily(Options, family, decision.Extension); };
        choice.ConverterAvailable = [this] { return host_.StartPictureConverter(); };
        choice.PictureClassRegistered = [&] { return TPicture::FindFileFormat(decision.Extension) != nullptr; };
        choice.ContentTest = [&] {
            kind = GetTextFileKind(decision.Path);
            return *kind;
        };
        switch (ChooseViewerKind(decision.Extension, choice)) {
        case vkText:
            if (panes_.EasyEdit)
                ShowEditorText(decision.Path, kind);
            else
                ShowText(decision.Path, false, kind);
            break;
        case vkRichText:
            ShowText(decision.Path, true, kind);
            break;
        case vkPicture:
            ShowPicture(decision.Path);
            break;
        case vkConvertedPicture:
            ShowConvertedPicture(decision.Path);
            break;
        case vkArchive:
            ShowArchive(decision.Path);
            break;
        default:
            ShowHex(decision.Path);
            break;
        }
    } catch (const Exception& error) {
        // The file could not be read for the content test.
        ShowDisplayError(CannotShowText(decision.Path, error.Message()));
    } catch (...) {
        ShowDisplayError(CannotShowText(decision.Path, L""));
    }
}

std::wstring TFileDisplay::CannotShowText(const std::wstring& Path, const std::wstring& Reason) const
{
    return L"\"" + Path + L"\" kann nicht angezeigt werden. " + Reason;
}

void TFileDisplay::ShowHex(const std::wstring& Path)
{
    ShowPane(panes_.HexEditor1);
    TWaitCursor wait;
    if (!panes_.HexEditor1->LoadFromFile(Path)) {
        const DWORD code = GetLastError();
        ShowDisplayError(CannotShowText(Path, Win32ErrorText(code)));
        if (!panes_.HexEditor1->LoadFromFile(L""))
            TraceIgnoredFailure(L"hex view: close after a failed load", GetLastError());
    }
}

void TFileDisplay::ShowArchive(const std::wstring& Path)
{
    ShowPane(panes_.ZipLV);
    TWaitCursor wait;
    panes_.ZipLV->OpenArchive(Path);
}

void TFileDisplay::ShowText(const std::wstring& Path, bool RichText, const std::optional<TTextFileKind>& Kind)
{
    TTextFileView& view = *panes_.TextView;
    ShowPane(&view);
    try {
        view.Clear();
        if (view.WordWrap())
            view.SetScrollBars(TScrollStyle::ssNone);
        view.SetPlainText(true);
        // A text is shown read-only unless it is plain single-byte text in a
        // writable file; the view decides that from the content test.
        if (Kind && !RichText)
            view.LoadFromFile(Path, *Kind);
        else
            view.LoadFromFile(Path);
        host_.ShowLineCount();
        if (view.NestedTooDeep())
            host_.ShowStatusNote(L"Zu tief verschachtelter RTF-Text: als Text angezeigt");
    } catch (const Exception& error) {
        ShowDisplayError(CannotShowText(Path, error.Message()));
    }
}

void TFileDisplay::ShowEditorText(const std::wstring& Path, const std::optional<TTextFileKind>& Kind)
{
    TEasyEdit& edit = *panes_.EasyEdit;
    TCustomEasyEditSource& source = *edit.GetEditSource();
    ShowPane(&edit);
    TWaitCursor wait;
    try {
        source.Clear();
        // Rules go before the text comes: a parser without states parses
        // only the lines shown, however long the text.
        if (EasyParser)
            EasyParser->Rules().Clear();
        if (Kind) {
            source.Strings().SetUnicode(Kind->Unicode);
            source.Strings().SetLineBreak(Kind->LFOnly ? TEasyLineBreak::lbLF : TEasyLineBreak::lbCRLF);
        }
        source.LoadFromFile(Path);
        // A text may be changed when the content test found text and the
        // file is not read-only; a text forced on other content, or a file
        // whose attributes cannot be read, stays read-only.
        const DWORD attributes = FileAttributes(Path);
        const bool writable =
            Kind && Kind->Text && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
        source.SetReadOnly(!writable);
        host_.ShowLineCount();
    } catch (const Exception& error) {
        ShowDisplayError(CannotShowText(Path, error.Message()));
    }
}

void TFileDisplay::ShowPicture(const std::wstring& Path)
{
    panes_.ScrollBox1->ScrollTo(0, 0);
    ShowPane(panes_.ScrollBox1);
    TWaitCursor wait;
    try {
        // The class registered for the extension reads it (imaging/win).
        TPicture picture;
        picture.LoadFromFile(Path);
        ClearPicture();
        panes_.Image1->SetGraphic(picture.ReleaseGraphic());
        ScrollBox1Resize();
        ScrollBox1Enter();
        host_.ShowPictureSize();
    } catch (const EFOpenError&) {
        // The file went away: an empty picture.
        ClearPicture();
    } catch (...) {
        ClearPicture();
        // A file its class refuses may still be one the converter reads.
        if (InExtFamily(Options, ConvertExts, ShortExtension(Path)) && host_.StartPictureConverter())
            ShowConvertedPicture(Path);
        else
            ShowDisplayError(L"Unbekanntes Grafikformat: " + ExtractFileName(Path));
    }
}

void TFileDisplay::ShowConvertedPicture(const std::wstring& Path)
{
    if (!converter_) {
        ShowDisplayError(L"Unbekanntes Grafikformat: " + ExtractFileName(Path));
        return;
    }
    panes_.ScrollBox1->ScrollTo(0, 0);
    ShowPane(panes_.ScrollBox1);
    // Another instance's conversion holding the clipboard for 3 seconds:
    // nothing is shown.
    TWaitCursor wait;
    TConvertResult result = converter_->Convert(Path, 3000, false);
    switch (result.Outcome) {
    case TConvertOutcome::Picture:
        try {
            auto graphic = std::make_unique<TDecodedBitmapGraphic>();
            graphic->LoadFromClipboardFormat(CF_BITMAP, result.Bitmap.Get(),
                                             static_cast<HPALETTE>(result.Palette.Get()));
            ClearPicture();
            panes_.Image1->SetGraphic(std::move(graphic));
            ScrollBox1Resize();
            host_.ShowPictureSize();
        } catch (const EOutOfResources&) {
            ShowDisplayError(L"Die Datei \"" + Path + L"\" kann wegen Speichermangel nicht angezeigt werden.");
        } catch (const std::exception&) {
            ShowDisplayError(L"Fehler bei der Kommunikation mit IrfanView aufgetreten.");
        }
        return;
    case TConvertOutcome::ConverterMessage:
        ShowDisplayError(result.Text);
        return;
    case TConvertOutcome::NothingUsable:
        ShowDisplayError(L"Fehlermeldung von IrfanView: nicht unterstütztes Grafikformat.");
        return;
    case TConvertOutcome::CommunicationError:
        ShowDisplayError(L"Fehler bei der Kommunikation mit IrfanView aufgetreten.");
        return;
    case TConvertOutcome::Busy:
        return;
    case TConvertOutcome::NotAvailable:
        ShowDisplayError(L"Unbekanntes Grafikformat: " + ExtractFileName(Path));
        return;
    }
}

void TFileDisplay::ClearPicture()
{
    if (panes_.Image1)
        panes_.Image1->Clear();
}

TWinControl* TFileDisplay::VisiblePane() const
{
    for (TWinControl* pane : std::initializer_list<TWinControl*>{
             panes_.HexEditor1, panes_.ZipLV, panes_.TextView, panes_.ScrollBox1, panes_.WebPanel, panes_.DirPanel,
             panes_.LinkPanel, panes_.EasyEdit, panes_.MediaPanel, panes_.OLEPanel, panes_.ErrorPanel})
        if (pane && pane->Visible())
            return pane;
    return nullptr;
}

void TFileDisplay::ShowPane(TWinControl* Control)
{
    if (Control && Control->Visible() && VisiblePane() == Control)
        return;
    const bool textOrPictureBefore =
        (panes_.ScrollBox1 && panes_.ScrollBox1->Visible()) || (panes_.TextView && panes_.TextView->Visible());
    for (TWinControl* pane : std::initializer_list<TWinControl*>{
             panes_.HexEditor1, panes_.ZipLV, panes_.TextView, panes_.ScrollBox1, panes_.WebPanel, panes_.DirPanel,
             panes_.LinkPanel, panes_.EasyEdit, panes_.MediaPanel, panes_.OLEPanel, panes_.ErrorPanel})
        if (pane)
            pane->SetVisible(pane == Control);
    const bool textOrPictureNow =
        (panes_.ScrollBox1 && panes_.ScrollBox1->Visible()) || (panes_.TextView && panes_.TextView->Visible());
    if (textOrPictureBefore && !textOrPictureNow)
        services_.RefreshStatusBar();
}

bool TFileDisplay::ClearDisplay()
{
    TWinControl* pane = VisiblePane();
    const bool holdsText = pane && (pane == panes_.TextView || pane == panes_.EasyEdit);
    // A cancelled save question leaves the text and the shown name as they are.
    if (holdsText && !services_.QuerySaveModifiedText())
        return false;
    ScopeExit forget([this] { viewedFile_.clear(); });
    try {
        if (pane && pane == panes_.TextView) {
            panes_.TextView->SetFileName(L"");
        } else if (pane && pane == panes_.EasyEdit) {
            panes_.EasyEdit->GetEditSource()->Clear();
        } else if (pane && pane == panes_.HexEditor1) {
            if (!panes_.HexEditor1->LoadFromFile(L""))
                TraceIgnoredFailure(L"hex view: close", GetLastError());
            panes_.HexEditor1->SetReadOnlyView(true);
        } else if (pane && pane == panes_.OLEPanel) {
            if (panes_.OLEPanel->GetState() != osEmpty)
                panes_.OLEPanel->Close();
        } else if (pane && pane == panes_.DirPanel) {
            panes_.DirPanel->ShowDirectory(L"");
        } else if (pane && pane == panes_.LinkPanel) {
            panes_.LinkPanel->ShowLink(L"");
        } else if (pane && pane == panes_.ZipLV) {
            panes_.ZipLV->OpenArchive(L"");
        } else {
            ClearPicture();
        }
    } catch (...) {
        TraceIgnoredException(L"file display: clear");
    }
    return true;
}

void TFileDisplay::ShowDisplayError(const std::wstring& Text)
{
    if (panes_.ErrorpanelCaption)
        panes_.ErrorpanelCaption->SetCaption(Text);
    ShowPane(panes_.ErrorPanel);
    MessageBeep(MB_ICONHAND);
}

void TFileDisplay::ViewFileExecute(bool HasFocusedItem)
{
    const bool on = HasFocusedItem && !viewFile_;
    if (!on && viewFile_) {
        // Turning off: a changed text must be let go first.
        freezeDisplay_ = false;
        if (!ClearDisplay())
            return;
    }
    viewFile_ = on;
    if (on) {
        host_.PlaceDisplayPane(true);
        RequestDisplay();
    } else {
        freezeDisplay_ = false;
        ShowPane(nullptr);
        host_.PlaceDisplayPane(false);
        viewedFile_.clear();
    }
    services_.UpdateActionStates();
}

void TFileDisplay::FreezeDisplayExecute()
{
    freezeDisplay_ = !freezeDisplay_;
    if (!freezeDisplay_ && viewFile_)
        RequestDisplay();
}

void TFileDisplay::AlignPictureExecute()
{
    alignPicture_ = !alignPicture_;
    panes_.Image1->SetStretch(alignPicture_);
    panes_.Image1->SetAlign(alignPicture_ ? TAlign::alClient : TAlign::alNone);
    ScrollBox1Resize();
}

void TFileDisplay::SetPictureBackground(TColor Color)
{
    panes_.ScrollBox1->SetColor(Color);
    host_.StorePictureBackground(Color);
}

void TFileDisplay::SetBKColorExecute()
{
    static COLORREF customColors[16]{};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = panes_.ScrollBox1->Handle();
    choose.rgbResult = ColorToRGB(panes_.ScrollBox1->Color());
    choose.lpCustColors = customColors;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (ChooseColorW(&choose))
        SetPictureBackground(static_cast<TColor>(choose.rgbResult));
}

void TFileDisplay::ScrollBox1Resize()
{
    TScrollBox& box = *panes_.ScrollBox1;
    TImage& image = *panes_.Image1;
    if (image.Align() == TAlign::alClient) {
        image.SetLeft(0);
    } else {
        const SIZE size = image.PictureSize();
        // A scroll bar takes room only while it is shown.
        auto barShown = [&box](int bar) {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_RANGE | SIF_PAGE;
            return (GetWindowLongW(box.Handle(), GWL_STYLE) & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) &&
                   GetScrollInfo(box.Handle(), bar, &info) && info.nMax - info.nMin + 1 > static_cast<int>(info.nPage);
        };
        RECT client{};
        GetClientRect(box.Handle(), &client);
        // The client area already leaves out a shown bar.
        const int vBar = barShown(SB_VERT) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int hBar = barShown(SB_HORZ) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const TPicturePlace place =
            CenterPicture(size.cx, size.cy, client.right + vBar, client.bottom + hBar, vBar, hBar);
        image.SetBounds(place.Left - box.HorzPosition(), place.Top - box.VertPosition(), size.cx, size.cy);
        box.UpdateScrollBars();
    }
    UpdateDragCursor();
}

void TFileDisplay::ScrollBox1Enter()
{
    dragging_ = false;
    services_.RefreshStatusBar();
}

void TFileDisplay::ScrollBox1Exit()
{
    dragging_ = false;
    services_.RefreshStatusBar();
}

void TFileDisplay::Image1MouseDown(int X, int Y)
{
    dragging_ = true;
    if (!panes_.Image1->Stretch()) {
        dragX_ = X;
        dragY_ = Y;
    }
    UpdateDragCursor();
}

void TFileDisplay::Image1MouseMove(int X, int Y)
{
    if (!dragging_)
        return;
    TScrollBox& box = *panes_.ScrollBox1;
    box.ScrollTo(DragScrollPosition(box.HorzPosition(), dragX_, X), DragScrollPosition(box.VertPosition(), dragY_, Y));
}

void TFileDisplay::Image1MouseUp()
{
    dragging_ = false;
    UpdateDragCursor();
}

void TFileDisplay::UpdateDragCursor()
{
    const SIZE size = panes_.Image1->PictureSize();
    const bool larger = size.cx > panes_.ScrollBox1->Width() || size.cy > panes_.ScrollBox1->Height();
    if (ShowsDragCursor(dragging_, panes_.Image1->Stretch(), larger))
        SetCursor(KyScreenCursor(kKyDragCursor));
}

void TFileDisplay::TextFileView1URLClick(const std::wstring& URL, TMouseButton Button)
{
    if (Button != TMouseButton::mbLeft || !IsOpenableUrl(URL))
        return;
    const std::wstring folder = host_.ActiveListState().Folder;
    ShellExecuteW(nullptr, L"open", URL.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace qrv

#include "mainwindow/win/PathTextCommands.h"

#include "common/win/FileClipboard.h"
#include "common/win/FileQueries.h"
#include "dialogs/win/DSAMsgDlg.h"
#include "framework/win/Forms.h"
#include "mainwindow/ActionCatalogue.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

namespace qrv {

namespace {

constexpr const wchar_t* kConfirmationIdent = L"copy as text";

class TSystemPathTexts : public TPathTextSystem {
public:
    explicit TSystemPathTexts(TMainWindowServices& Services) : services_(Services) {}

    bool PutText(const std::wstring& Text) override
    {
        return PutTextOnClipboard(Owner(), std::u16string(Text.begin(), Text.end())) != 0;
    }
    std::wstring ClipboardText() override
    {
        const std::optional<std::u16string> text = ReadClipboardText(Owner());
        return text ? std::wstring(text->begin(), text->end()) : std::wstring();
    }
    std::wstring ShortPath(const std::wstring& Path) override { return ShortPathName(Path); }
    void Beep(unsigned Sound) override { MessageBeep(Sound); }
    bool ConfirmationWanted() override { return DSAIdentsGetState(DSARegKey, kConfirmationIdent); }
    void ShowConfirmation(const std::wstring& Text) override
    {
        DSAMessageDlg(Text, TMsgDlgType::mtInformation, mbOK, mrOk, kConfirmationIdent);
    }

private:
    HWND Owner()
    {
        TForm* window = services_.Window();
        return window && window->HandleAllocated() ? window->Handle() : nullptr;
    }
    TMainWindowServices& services_;
};

// The item the commands name: the focused one when it is selected, else
// the first selected.
const TFileRec* SelectedItem(const TDirView& List)
{
    const TFileRec* focused = List.ItemFocused();
    if (focused && focused->Selected)
        return focused;
    for (int i = 0; i < List.ItemCount(); ++i)
        if (const TFileRec* rec = List.GetItemData(i); rec && rec->Selected)
            return rec;
    return nullptr;
}

}  // namespace

std::unique_ptr<TPathTextSystem> NewSystemPathTextSystem(TMainWindowServices& Services)
{
    return std::make_unique<TSystemPathTexts>(Services);
}

TPathTextCommands::TPathTextCommands(const TMainPanes& Panes, TMainWindowServices& Services)
    : System(NewSystemPathTextSystem(Services)), panes_(Panes)
{}

void TPathTextCommands::Register(TActionCatalogue& Catalogue)
{
    using A = TActionId;
    using K = TPathTextKind;
    const std::pair<A, K> commands[] = {{A::CopyFilePaths, K::FilePath}, {A::CopyFilePathsDos, K::FilePathShort},
                                        {A::CopyFileNames, K::FileName}, {A::CopyFileNamesDos, K::FileNameShort},
                                        {A::CopyDirPath, K::DirPath},    {A::CopyDirPathDos, K::DirPathShort}};
    for (const auto& [id, kind] : commands)
        Catalogue.Register(id, [this, kind = kind] { Execute(kind); });
}

TPathTextSource TPathTextCommands::Source(TPathTextKind Kind)
{
    TPathTextSource source;
    if (PathTextNeedsItem(Kind)) {
        if (const TDirView* list = panes_.ActiveList)
            if (const TFileRec* item = SelectedItem(*list)) {
                source.ItemPath = list->ItemFullFileName(item);
                source.ItemName = item->FileName;
            }
    } else if (TDriveView* tree = panes_.TreeView1) {
        if (TTreeNode* node = tree->Selected())
            source.TreePath = tree->GetDirPathName(node);
    }
    return source;
}

void TPathTextCommands::Execute(TPathTextKind Kind)
{
    const std::optional<std::wstring> text =
        PathTextFor(Kind, Source(Kind), [this](const std::wstring& Path) { return System->ShortPath(Path); });
    if (!text || !System->PutText(*text)) {
        System->Beep(MB_OK);
        return;
    }
    System->Beep(MB_ICONEXCLAMATION);
    const std::wstring message = CopiedAsTextMessage(System->ClipboardText());
    if (System->ConfirmationWanted())
        System->ShowConfirmation(message);
    else if (ShowStatusText)
        ShowStatusText(message, kStatusTextTime);
}

}  // namespace qrv

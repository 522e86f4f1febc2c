#include "editor/win/EasyHistoryEditor.h"

#include "editor/win/EasyRegistryStore.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"

namespace qrv {

TCustomEasyHistoryEditor::TCustomEasyHistoryEditor(TComponent* owner) : TComboBox(owner) {}

TCustomEasyHistoryEditor::~TCustomEasyHistoryEditor()
{
    // The base destroys the window where this class no longer hears it.
    if (HandleAllocated() && !saved_) {
        saved_ = true;
        SaveHistory();
    }
}

TEasyHistoryItems TCustomEasyHistoryEditor::History() const
{
    TEasyHistoryItems items;
    for (int i = 0; i < Items().Count(); ++i)
        items.push_back(Items()[i]);
    return items;
}

void TCustomEasyHistoryEditor::SetHistory(const TEasyHistoryItems& items)
{
    Items().Clear();
    for (const std::wstring& item : items)
        Items().Add(item);
}

TEasyHistoryPlace TCustomEasyHistoryEditor::Place() const
{
    const std::wstring owner = Owner() ? Owner()->Name() : ownerName_;
    return {StoreInRegistry, FileName, EasyHistoryValueName(RegistryKey, owner, Name())};
}

void TCustomEasyHistoryEditor::AddToHistory()
{
    TEasyHistoryItems items = History();
    const std::wstring text = AddToEasyHistory(items, Text());
    SetHistory(items);
    SetText(text);
}

void TCustomEasyHistoryEditor::SaveHistory()
{
    try {
        SaveEasyHistory(History(), Place(), &EasyRegistry());
    } catch (const std::exception&) {
        TraceIgnoredException(L"save the history of " + Place().ValueName);
    }
}

void TCustomEasyHistoryEditor::LoadHistory()
{
    if (Owner())
        ownerName_ = Owner()->Name();
    const std::wstring text = Text();
    try {
        SetHistory(LoadEasyHistory(Place(), &EasyRegistry(), TEncoding::Default()));
    } catch (const std::exception&) {
        TraceIgnoredException(L"load the history of " + Place().ValueName);
    }
    SetText(text);
}

void TCustomEasyHistoryEditor::CreateWindowHandle(const TCreateParams& params)
{
    TComboBox::CreateWindowHandle(params);
    saved_ = false;
    if (HandleAllocated())
        LoadHistory();
}

void TCustomEasyHistoryEditor::DestroyWnd()
{
    if (HandleAllocated() && !saved_) {
        saved_ = true;
        SaveHistory();
    }
    TComboBox::DestroyWnd();
}

void TCustomEasyHistoryEditor::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == CBN_KILLFOCUS)
        AddToHistory();
    if (message.Msg == WM_DESTROY && !saved_) {
        saved_ = true;
        SaveHistory();
    }
    TComboBox::WndProc(message);
}

}  // namespace qrv

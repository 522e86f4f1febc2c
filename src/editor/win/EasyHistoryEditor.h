#pragma once
// TEasyHistoryEditor: a drop-down combo box that remembers what was entered
// into it. The entered text goes to the top of its list when the box loses
// the focus or its form takes the text (AddToHistory); the list is loaded
// whenever the window is made and saved when it goes, in the registry below
// the editor family's key or in an INI file.

#include "editor/EasyHistory.h"
#include "framework/win/StdCtrls.h"

#include <string>

namespace qrv {

class TCustomEasyHistoryEditor : public TComboBox {
public:
    explicit TCustomEasyHistoryEditor(TComponent* owner);
    // The window goes with the box: its list is saved first.
    ~TCustomEasyHistoryEditor() override;

    virtual void AddToHistory();
    // A failed save is traced; the list stays in the box.
    virtual void SaveHistory();
    virtual void LoadHistory();

    // True: the registry; false: FileName.
    bool StoreInRegistry = true;
    // The value's name; empty: the owner's name and the box's.
    std::wstring RegistryKey;
    std::wstring FileName;

    TEasyHistoryItems History() const;
    TEasyHistoryPlace Place() const;

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    void SetHistory(const TEasyHistoryItems& items);
    // The window's destruction saves once, from whichever path comes first.
    bool saved_ = false;
    // The owner's name as last seen: an owner freeing the box lets go of it first.
    std::wstring ownerName_;
};

class TEasyHistoryEditor : public TCustomEasyHistoryEditor {
public:
    using TCustomEasyHistoryEditor::TCustomEasyHistoryEditor;
};

}  // namespace qrv

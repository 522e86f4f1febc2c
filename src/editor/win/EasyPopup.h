#pragma once
// TEasyPopup: a borderless stay-on-top tool form that borrows a list box
// while it is shown next to an editor's caret. Enter chooses (the choice
// goes to the call-back), Escape, a click elsewhere or another active
// window cancel; either way the list box gets back its parent, bounds,
// alignment, visibility and double-click event. One popup at a time per
// process. While it is open its host form keeps its active caption and
// hides and shows the popup with itself.

#include "framework/win/Forms.h"
#include "framework/win/ListBox.h"

#include <functional>

namespace qrv {

using TEasyPopupChoose = std::function<void(TCustomListBox* ListBox)>;

class TEasyPopup : public TForm {
public:
    TEasyPopup(TComponent* owner, bool sizeable);
    ~TEasyPopup() override;

    // Closes the open popup: with OK the choice goes to OnChoose. The form is
    // freed now with FreeNow, else after the current message.
    void ClosePopup(bool ok, bool freeNow);
    TCustomListBox* ListBox() const { return listBox_; }
    TForm* HostForm() const { return host_; }
    // Closed, and waiting to be freed.
    bool Closed() const { return closed_; }
    TEasyPopupChoose OnChoose;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    friend bool ShowPopupList(TCustomListBox*, TWinControl*, int, int, TEasyPopupChoose, bool);
    void Borrow(TCustomListBox* listBox, TWinControl* editor);
    void GiveBack();
    void ListenForDestruction(TWinControl* control);
    // Enter and Escape without modifiers; true when the key was used.
    bool PopupKey(WPARAM key);

    bool sizeable_;
    bool closed_ = false;
    TCustomListBox* listBox_ = nullptr;
    TWinControl* savedParent_ = nullptr;
    bool savedVisible_ = false;
    TAlign savedAlign_ = TAlign::alNone;
    RECT savedBounds_{};
    TNotifyEvent savedDblClick_;
    int keyListener_ = 0;
    TForm* host_ = nullptr;
    // Controls whose going closes the popup, with the listener ids.
    std::vector<std::pair<TWinControl*, int>> watched_;
};

// Shows the list box in a popup at the editor's client point; false (and
// nothing happens) while another popup is open.
bool ShowPopupList(TCustomListBox* listBox, TWinControl* editor, int x, int y, TEasyPopupChoose onChoose,
                   bool sizeable);
// Closes the open popup, if any, and frees it at once.
void ClosePopupList(bool ok);
// The open popup, or nullptr.
TEasyPopup* ActivePopup();

}  // namespace qrv

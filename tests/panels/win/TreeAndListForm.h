#pragma once
// A form with a folder tree at the left and the file list it drives at the
// right, as the main window places them; the tests of the tree share it.

#include "framework/win/Forms.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

#include <memory>

namespace qrv {

struct TTreeAndListForm {
    std::unique_ptr<TForm> Form;
    TDriveView* Tree = nullptr;  // owned by Form
    TDirView* List = nullptr;    // owned by Form

    TTreeAndListForm() : Form(std::make_unique<TForm>(nullptr))
    {
        Form->SetBounds(0, 0, 600, 400);
        // Both fill the client area: a tree reaching below the form's edge
        // would call a node visible that no mouse can reach on the screen.
        Tree = new TDriveView(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 250, 400);
        Tree->SetAlign(TAlign::alLeft);
        List = new TDirView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(250, 0, 350, 400);
        List->SetAlign(TAlign::alClient);
        Tree->SetDirView(List);
    }
};

}  // namespace qrv

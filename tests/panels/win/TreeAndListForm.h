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
        Tree = new TDriveView(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 250, 400);
        List = new TDirView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(250, 0, 350, 400);
        Tree->SetDirView(List);
    }
};

}  // namespace qrv

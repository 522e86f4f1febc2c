#pragma once
// TMainPanes: the main window's panes in one record. The window makes the
// controls and owns the record; every command area gets it instead of
// asking its host for the tree or a list, so each pane has one name wherever
// it is used. A pointer is nullptr while its control does not exist.

namespace qrv {

class TComboBox;
class TDirView;
class TDriveView;
class TEasyEdit;
class THexEditor;
class TImage;
class TKyDirPanel;
class TKyLinkPanel;
class TKyOLEContainer;
class TKyZipLV;
class TLabel;
class TPanel;
class TScrollBox;
class TTextFileView;

struct TMainPanes {
    // The folder tree and the panel it fills.
    TPanel* PanelLeft = nullptr;
    TDriveView* TreeView1 = nullptr;
    // The two file lists, each with its history box above it in its panel.
    TPanel* FilePanel1 = nullptr;
    TComboBox* DirHist1 = nullptr;
    TDirView* LV1 = nullptr;
    TPanel* FilePanel2 = nullptr;
    TComboBox* DirHist2 = nullptr;
    TDirView* LV2 = nullptr;
    // The list that has (or last had) the focus, and its history box.
    TDirView* ActiveList = nullptr;
    TComboBox* ActiveHistory = nullptr;

    // The display pane below the lists and its viewers; one is visible at
    // a time. Any but the error pane may be missing.
    TPanel* PanelBottom = nullptr;
    TTextFileView* TextView = nullptr;
    TScrollBox* ScrollBox1 = nullptr;
    TImage* Image1 = nullptr;
    THexEditor* HexEditor1 = nullptr;
    TPanel* WebPanel = nullptr;
    TKyDirPanel* DirPanel = nullptr;
    TKyLinkPanel* LinkPanel = nullptr;
    TPanel* ErrorPanel = nullptr;
    TLabel* ErrorpanelCaption = nullptr;
    TKyZipLV* ZipLV = nullptr;
    TPanel* MediaPanel = nullptr;
    TKyOLEContainer* OLEPanel = nullptr;
    TEasyEdit* EasyEdit = nullptr;

    // File list 0 or 1, and the panel holding it; nullptr for other indexes.
    TDirView* FileList(int Index) const;
    TPanel* FileListPanel(int Index) const;
    // The second file window is shown beside (or below) the first.
    bool SecondListShown() const;
    // The list that is not the active one while the second file window is
    // shown; nullptr otherwise.
    TDirView* OtherList() const { return OtherShownList(ActiveList); }
    // The list beside List while the second file window is shown.
    TDirView* OtherShownList(const TDirView* List) const;
};

}  // namespace qrv

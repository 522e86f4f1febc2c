#pragma once
// The record each node of TDriveView owns: its TNodeData and the images the
// control asks for. Shared by the tree's source files only.

#include "framework/win/ComCtrls.h"
#include "panels/NodeData.h"

namespace qrv {

struct TDriveViewNode : TTreeNodeObject {
    TNodeData Data;
    int Image = 0;
    int SelectedImage = 0;
};

}  // namespace qrv

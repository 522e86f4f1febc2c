#pragma once
// The folder tree's reader: a worker that searches a folder for its
// subfolders while the tree answers the user. The worker sees a copy of the
// node's path, never a node; the tree takes the answer on its own thread
// and applies it to the node if it still exists. A node being read keeps its
// button and is drawn with a busy mark.

#include "panels/BackgroundQueue.h"
#include "panels/win/DriveView.h"
#include "panels/win/FolderSearch.h"
#include "panels/win/PendingNodes.h"
#include "panels/win/ShellWorker.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace qrv {

struct TSubFolderRequest {
    uint64_t NodeId = 0;
    std::wstring Path;
    bool HideHiddenDirs = false;
};

struct TSubFolderAnswer {
    uint64_t NodeId = 0;
    TSubFolderList List;
};

struct TDriveView::TReadState {
    TReadState();

    // Where the answers are announced: the tree's window; and the event a
    // short wait for an answer sleeps on.
    TAnswerWindow Window;
    TKernelHandle Arrived;
    TBackgroundQueue<TSubFolderRequest, TSubFolderAnswer, &TSubFolderRequest::NodeId> Queue;
    TPendingNodes Nodes;
    // Answers taken from the worker and not applied yet.
    std::vector<TSubFolderAnswer> Answers;
    // Nodes the user asked to open while they were read: opened on the answer.
    std::unordered_set<TTreeNode*> ExpandWhenRead;
};

}  // namespace qrv

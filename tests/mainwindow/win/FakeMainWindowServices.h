#pragma once
// A fake of the main window's services for the command areas' tests: it
// records the message boxes and counts the refreshes. A test's own fake of
// an area's host derives from it and overrides what it needs to answer
// otherwise.

#include "mainwindow/win/MainWindowServices.h"

#include <string>
#include <vector>

namespace qrv {

class FakeMainWindowServices : public TMainWindowServices {
public:
    int ShowMessageBox(const std::wstring& Text, TMsgDlgType Kind, int, TMsgDlgButtons) override
    {
        messageBoxes.push_back(Text);
        messageKinds.push_back(Kind);
        return messageAnswer;
    }
    void RefreshStatusBar() override { ++statusRefreshes; }
    void UpdateActionStates() override { ++actionUpdates; }
    bool Terminating() override { return terminating; }
    bool QuerySaveModifiedText() override
    {
        ++saveQuestions;
        return saveAllowed;
    }
    void PlaceProgressForm(TForm&) override {}
    TForm* Window() override { return window; }

    std::vector<std::wstring> messageBoxes;
    std::vector<TMsgDlgType> messageKinds;
    int messageAnswer = mrOk;
    int statusRefreshes = 0;
    int actionUpdates = 0;
    bool terminating = false;
    int saveQuestions = 0;
    bool saveAllowed = true;
    // The window the areas' forms belong to; progress forms stay where they are.
    TForm* window = nullptr;
};

}  // namespace qrv

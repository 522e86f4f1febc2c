#pragma once
// TQuorSplash: the borderless logo form shown while the main window starts.

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"

namespace qrv {

class TQuorSplash : public TForm {
public:
    explicit TQuorSplash(TComponent* owner);

    TLabel* lblVersion() const { return lblVersion_; }
    // The progress text ("Verzeichnisse lesen", "Dateien lesen").
    TLabel* Msg() const { return msg_; }
    void ShowProgress(const std::wstring& text);

protected:
    std::wstring WindowClassName() const override { return L"TQuorSplash"; }
    void WndProc(TMessage& message) override;
    void DoShow() override;

private:
    void Paint(HDC dc);
    TLabel* lblVersion_;
    TLabel* msg_;
    TLabel* title_;
    HICON image256_ = nullptr;
};

}  // namespace qrv

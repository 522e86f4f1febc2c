#pragma once
// TShadowedHintWindow: the application's hint window, with the system's drop
// shadow where the system has one (Windows XP, NT 5.1, and later).

#include "framework/win/HintWindow.h"

namespace qrv {

class TShadowedHintWindow : public THintWindow {
protected:
    std::wstring WindowClassName() const override { return L"TShadowedHintWindow"; }
    UINT WindowClassStyle() const override;
};

// Makes TShadowedHintWindow the hint window the application shows.
void InstallShadowedHintWindow();

}  // namespace qrv

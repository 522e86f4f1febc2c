#include "widgets/win/InputMethod.h"

#include "framework/IgnoredError.h"

#include <imm.h>

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

// The conversion mode a mode opens the input method in; 0 for the modes
// that only open, close or leave it.
DWORD ConversionFor(TImeMode mode)
{
    switch (mode) {
    case TImeMode::imSAlpha:
        return IME_CMODE_ALPHANUMERIC;
    case TImeMode::imAlpha:
        return IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE;
    case TImeMode::imHira:
        return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    case TImeMode::imSKata:
        return IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    case TImeMode::imKata:
        return IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE;
    case TImeMode::imChinese:
    case TImeMode::imSHanguel:
        return IME_CMODE_NATIVE;
    case TImeMode::imHanguel:
        return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    default:
        return 0;
    }
}

void ActivateInputMethodNamed(const std::wstring& name)
{
    const int count = GetKeyboardLayoutList(0, nullptr);
    std::vector<HKL> layouts(static_cast<size_t>(std::max(count, 0)));
    GetKeyboardLayoutList(count, layouts.data());
    for (HKL layout : layouts) {
        wchar_t description[256] = L"";
        if (ImmGetDescriptionW(layout, description, 256) > 0 && name == description) {
            ActivateKeyboardLayout(layout, 0);
            return;
        }
    }
    TraceLine(L"input method \"" + name + L"\" is not installed; the layout stays");
}

// Frees the context ImmGetContext handed out.
class TInputContext {
public:
    explicit TInputContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
    ~TInputContext()
    {
        if (context_)
            ImmReleaseContext(window_, context_);
    }
    TInputContext(const TInputContext&) = delete;
    TInputContext& operator=(const TInputContext&) = delete;
    HIMC Get() const { return context_; }

private:
    HWND window_;
    HIMC context_;
};

}  // namespace

void ApplyInputMethod(HWND window, TImeMode mode, const std::wstring& imeName)
{
    if (mode == TImeMode::imDisable) {
        ImmAssociateContextEx(window, nullptr, 0);
        return;
    }
    // A window disabled for an earlier column gets the default context back.
    ImmAssociateContextEx(window, nullptr, IACE_DEFAULT);
    if (!imeName.empty())
        ActivateInputMethodNamed(imeName);
    if (mode == TImeMode::imDontCare)
        return;
    const TInputContext context(window);
    if (!context.Get()) {
        TraceIgnoredFailure(L"no input context for the editor; its input method stays");
        return;
    }
    ImmSetOpenStatus(context.Get(), mode != TImeMode::imClose);
    if (const DWORD conversion = ConversionFor(mode)) {
        DWORD current = 0, sentence = 0;
        ImmGetConversionStatus(context.Get(), &current, &sentence);
        ImmSetConversionStatus(context.Get(), conversion, sentence);
    }
}

}  // namespace qrv

#pragma once
// The in-place frame a form offers the objects active in its containers: a
// reference-counted COM object that its form object owns and detaches when it
// goes (every later call answers E_UNEXPECTED). It keeps no menus or tool
// space of its own: menus stay the form's, border space is refused.

#include "framework/win/WinApi.h"

#include <exception>

namespace qrv {

class TOleFrameHost {
public:
    virtual HWND FrameWindow() = 0;
    virtual void FrameActiveObjectChanged(IOleInPlaceActiveObject* object) = 0;
    // A key the active object did not want: true when the form's menu took it.
    virtual bool FrameTranslateAccelerator(const MSG& message) = 0;
    virtual void FrameFailed(std::exception_ptr error) = 0;

protected:
    ~TOleFrameHost() = default;
};

class TOleInPlaceFrame : public IOleInPlaceFrame {
public:
    static TOleInPlaceFrame* Create(TOleFrameHost& host);
    void Detach() { host_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return host_ ? S_OK : E_UNEXPECTED; }
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD) override;

private:
    explicit TOleInPlaceFrame(TOleFrameHost& host) : host_(&host) {}
    virtual ~TOleInPlaceFrame() = default;
    TOleFrameHost* host_;
    LONG references_ = 1;
};

}  // namespace qrv

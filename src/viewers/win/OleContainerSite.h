#pragma once
// The embedded object's view of its container: client site, advise sink and
// in-place site in one reference-counted COM object. The container owns one
// reference and detaches the site when it goes; the object may hold on to it
// longer, and every call after the detach answers E_UNEXPECTED. No exception
// leaves a method: a failure of the container (an event handler's, say) is
// handed to it as an exception after the call, to be raised to the
// application later.

#include "framework/win/WinApi.h"

#include <exception>

namespace qrv {

// What the site asks of its container.
class TOleSiteHost {
public:
    virtual HRESULT SiteSaveObject() = 0;
    virtual void SiteShowObject() = 0;
    virtual void SiteShowWindow(bool shown) = 0;
    // The object's data or its picture changed.
    virtual void SiteChanged(bool viewOnly) = 0;
    virtual void SiteClosed() = 0;
    virtual HWND SiteWindow() = 0;
    virtual bool SiteCanInPlaceActivate() = 0;
    virtual void SiteInPlaceActivated() = 0;
    virtual void SiteUIActivated() = 0;
    virtual void SiteWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT& position, RECT& clip,
                                   OLEINPLACEFRAMEINFO& frameInfo) = 0;
    virtual void SiteUIDeactivated() = 0;
    virtual void SiteInPlaceDeactivated() = 0;
    virtual void SitePositionChanged(const RECT& position) = 0;
    // The object asks to be deactivated (its undo is not kept).
    virtual void SiteDeactivateRequested() = 0;
    // A call of the site failed inside the container.
    virtual void SiteFailed(std::exception_ptr error) = 0;

protected:
    ~TOleSiteHost() = default;
};

class TOleContainerSite : public IOleClientSite, public IAdviseSink, public IOleInPlaceSite {
public:
    // Made with one reference, the caller's.
    static TOleContainerSite* Create(TOleSiteHost& host);
    // From now on every call answers E_UNEXPECTED.
    void Detach() { host_ = nullptr; }

    IOleClientSite* ClientSite() { return this; }
    IAdviseSink* AdviseSink() { return this; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IAdviseSink
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override;
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override;
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return host_ ? S_OK : E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) override;

private:
    explicit TOleContainerSite(TOleSiteHost& host) : host_(&host) {}
    virtual ~TOleContainerSite() = default;
    // Runs a call of the host: E_UNEXPECTED once detached, the failure handed
    // to the host (and failed) when it raises.
    template <class Call>
    HRESULT Guarded(Call call);

    TOleSiteHost* host_;
    LONG references_ = 1;
};

}  // namespace qrv

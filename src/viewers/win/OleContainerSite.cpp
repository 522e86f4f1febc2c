#include "viewers/win/OleContainerSite.h"

#include "framework/IgnoredError.h"

namespace qrv {

TOleContainerSite* TOleContainerSite::Create(TOleSiteHost& host)
{
    return new TOleContainerSite(host);
}

template <class Call>
HRESULT TOleContainerSite::Guarded(Call call)
{
    if (!host_)
        return E_UNEXPECTED;
    try {
        return call(*host_);
    } catch (...) {
        try {
            host_->SiteFailed(std::current_exception());
        } catch (...) {
            TraceIgnoredException(L"OLE container site: report a failure");
        }
        return E_FAIL;
    }
}

HRESULT TOleContainerSite::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IAdviseSink))
        *object = static_cast<IAdviseSink*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG TOleContainerSite::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TOleContainerSite::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT TOleContainerSite::SaveObject()
{
    return Guarded([](TOleSiteHost& host) { return host.SiteSaveObject(); });
}

HRESULT TOleContainerSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return host_ ? E_NOTIMPL : E_UNEXPECTED;
}

HRESULT TOleContainerSite::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return host_ ? E_NOINTERFACE : E_UNEXPECTED;
}

HRESULT TOleContainerSite::ShowObject()
{
    return Guarded([](TOleSiteHost& host) {
        host.SiteShowObject();
        return S_OK;
    });
}

HRESULT TOleContainerSite::OnShowWindow(BOOL show)
{
    return Guarded([show](TOleSiteHost& host) {
        host.SiteShowWindow(show != FALSE);
        return S_OK;
    });
}

void TOleContainerSite::OnDataChange(FORMATETC*, STGMEDIUM*)
{
    Guarded([](TOleSiteHost& host) {
        host.SiteChanged(false);
        return S_OK;
    });
}

void TOleContainerSite::OnViewChange(DWORD, LONG)
{
    Guarded([](TOleSiteHost& host) {
        host.SiteChanged(true);
        return S_OK;
    });
}

void TOleContainerSite::OnClose()
{
    Guarded([](TOleSiteHost& host) {
        host.SiteClosed();
        return S_OK;
    });
}

HRESULT TOleContainerSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = nullptr;
    return Guarded([window](TOleSiteHost& host) {
        *window = host.SiteWindow();
        return *window ? S_OK : E_FAIL;
    });
}

HRESULT TOleContainerSite::CanInPlaceActivate()
{
    return Guarded([](TOleSiteHost& host) { return host.SiteCanInPlaceActivate() ? S_OK : S_FALSE; });
}

HRESULT TOleContainerSite::OnInPlaceActivate()
{
    return Guarded([](TOleSiteHost& host) {
        host.SiteInPlaceActivated();
        return S_OK;
    });
}

HRESULT TOleContainerSite::OnUIActivate()
{
    return Guarded([](TOleSiteHost& host) {
        host.SiteUIActivated();
        return S_OK;
    });
}

HRESULT TOleContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                            RECT* clip, OLEINPLACEFRAMEINFO* frameInfo)
{
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    return Guarded([=](TOleSiteHost& host) {
        host.SiteWindowContext(frame, document, *position, *clip, *frameInfo);
        return S_OK;
    });
}

HRESULT TOleContainerSite::OnUIDeactivate(BOOL)
{
    return Guarded([](TOleSiteHost& host) {
        host.SiteUIDeactivated();
        return S_OK;
    });
}

HRESULT TOleContainerSite::OnInPlaceDeactivate()
{
    return Guarded([](TOleSiteHost& host) {
        host.SiteInPlaceDeactivated();
        return S_OK;
    });
}

HRESULT TOleContainerSite::DeactivateAndUndo()
{
    // Nothing is undone here: the object is only deactivated.
    return Guarded([](TOleSiteHost& host) {
        host.SiteDeactivateRequested();
        return S_OK;
    });
}

HRESULT TOleContainerSite::OnPosRectChange(const RECT* position)
{
    if (!position)
        return E_POINTER;
    return Guarded([position](TOleSiteHost& host) {
        host.SitePositionChanged(*position);
        return S_OK;
    });
}

}  // namespace qrv

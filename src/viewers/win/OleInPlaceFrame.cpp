#include "viewers/win/OleInPlaceFrame.h"

#include "framework/IgnoredError.h"

namespace qrv {

namespace {

bool EmptyWidths(LPCBORDERWIDTHS widths)
{
    return !widths || (widths->left == 0 && widths->top == 0 && widths->right == 0 && widths->bottom == 0);
}

}  // namespace

TOleInPlaceFrame* TOleInPlaceFrame::Create(TOleFrameHost& host)
{
    return new TOleInPlaceFrame(host);
}

HRESULT TOleInPlaceFrame::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TOleInPlaceFrame::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG TOleInPlaceFrame::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT TOleInPlaceFrame::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = host_ ? host_->FrameWindow() : nullptr;
    return *window ? S_OK : E_UNEXPECTED;
}

HRESULT TOleInPlaceFrame::GetBorder(RECT* border)
{
    if (!border)
        return E_POINTER;
    if (!host_)
        return E_UNEXPECTED;
    return GetClientRect(host_->FrameWindow(), border) ? S_OK : E_FAIL;
}

HRESULT TOleInPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS widths)
{
    if (!host_)
        return E_UNEXPECTED;
    return EmptyWidths(widths) ? S_OK : INPLACE_E_NOTOOLSPACE;
}

HRESULT TOleInPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS widths)
{
    if (!host_)
        return E_UNEXPECTED;
    return EmptyWidths(widths) ? S_OK : OLE_E_INVALIDRECT;
}

HRESULT TOleInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    if (!host_)
        return E_UNEXPECTED;
    try {
        host_->FrameActiveObjectChanged(object);
        return S_OK;
    } catch (...) {
        host_->FrameFailed(std::current_exception());
        return E_FAIL;
    }
}

HRESULT TOleInPlaceFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths)
{
    if (!host_)
        return E_UNEXPECTED;
    // The form adds no menus of its own to the object's.
    if (widths)
        for (LONG& width : widths->width)
            width = 0;
    return S_OK;
}

HRESULT TOleInPlaceFrame::TranslateAccelerator(LPMSG message, WORD)
{
    if (!host_)
        return E_UNEXPECTED;
    if (!message)
        return E_POINTER;
    try {
        return host_->FrameTranslateAccelerator(*message) ? S_OK : S_FALSE;
    } catch (...) {
        host_->FrameFailed(std::current_exception());
        return E_FAIL;
    }
}

}  // namespace qrv

#include "viewers/win/RichEditOleCallback.h"

#include "viewers/win/KyRichEd.h"

#include <objbase.h>

namespace qrv {

HRESULT TRichEditOleCallback::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage)
{
    // An inserted object keeps its data in a compound file in global memory.
    if (!storage)
        return E_INVALIDARG;
    *storage = nullptr;
    ILockBytes* bytes = nullptr;
    HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (FAILED(result))
        return result;
    result = StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage);
    bytes->Release();
    return result;
}

HRESULT TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO)
{
    // The control offers no in-place frame of its own: objects open in their
    // own windows (in place only where the host form provides a frame).
    if (frame)
        *frame = nullptr;
    if (document)
        *document = nullptr;
    return edit_.AllowInPlace ? E_NOTIMPL : E_FAIL;
}

HRESULT TRichEditOleCallback::ShowContainerUI(BOOL)
{
    return S_OK;
}

HRESULT TRichEditOleCallback::DeleteObject(LPOLEOBJECT object)
{
    if (object)
        object->Close(OLECLOSE_NOSAVE);
    return S_OK;
}

}  // namespace qrv

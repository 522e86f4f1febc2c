#pragma once
// The rich edit control's OLE callback: storage for embedded objects,
// in-place activation in the parent form, and the questions the control asks
// before inserting, accepting or deleting objects. Owned by its control; the
// reference counts never free it.

#include <windows.h>
#include <richole.h>

namespace qrv {

class TKyCustomRichEdit;

class TRichEditOleCallback : public IRichEditOleCallback {
public:
    explicit TRichEditOleCallback(TKyCustomRichEdit& edit) : edit_(edit) {}
    virtual ~TRichEditOleCallback() = default;

    IRichEditOleCallback* Interface() { return this; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return references_ > 0 ? --references_ : 0; }

    // IRichEditOleCallback
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
    // raw-call: the rich edit's callback method, not GDI's DeleteObject
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
    // Clipboard data, drag effects and context menus are left to the control.
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }

private:
    TKyCustomRichEdit& edit_;
    ULONG references_ = 0;
};

}  // namespace qrv

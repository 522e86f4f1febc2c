// qrv_oletest.dll: an in-process OLE server of our own, for the tests of the
// embedded-document container where the system has no server for a kind of
// document. Its files (".qoletest") name a colour on their first line; the
// object reads them through IPersistFile, keeps them as its "Contents"
// stream through IPersistStorage, draws that colour, takes its verbs from
// the registry, activates in place in a child window of the container or
// opens a window of its own, and counts its live objects.

#include "OleTestServer.h"

#include <ole2.h>
#include <olectl.h>

#include <string>

using namespace qrv::oletest;

namespace {

HMODULE g_module = nullptr;
LONG g_liveObjects = 0;
LONG g_locks = 0;

COLORREF ColourOf(const std::string& data)
{
    std::string line = data.substr(0, data.find_first_of("\r\n"));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    for (char& c : line)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (line == "red")
        return RGB(255, 0, 0);
    if (line == "green")
        return RGB(0, 255, 0);
    if (line == "blue")
        return RGB(0, 0, 255);
    if (line == "yellow")
        return RGB(255, 255, 0);
    if (line.size() == 7 && line[0] == '#') {
        const unsigned long value = strtoul(line.c_str() + 1, nullptr, 16);
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    return RGB(128, 128, 128);
}

// The next colour of the "change" verb: red, green, blue, red ...
std::string ChangedData(const std::string& data)
{
    const COLORREF colour = ColourOf(data);
    const char* next = colour == RGB(255, 0, 0) ? "green" : colour == RGB(0, 255, 0) ? "blue" : "red";
    const size_t lineEnd = data.find_first_of("\r\n");
    return next + (lineEnd == std::string::npos ? std::string() : data.substr(lineEnd));
}

const wchar_t* const ContentsStream = L"Contents";

class TTestObject : public IOleObject,
                    public IPersistStorage,
                    public IPersistFile,
                    public IViewObject2,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IDataObject {
public:
    TTestObject() { InterlockedIncrement(&g_liveObjects); }
    virtual ~TTestObject()
    {
        DestroyWindows();
        if (adviseHolder_)
            adviseHolder_->Release();
        if (dataAdviseHolder_)
            dataAdviseHolder_->Release();
        if (viewSink_)
            viewSink_->Release();
        if (site_)
            site_->Release();
        if (storage_)
            storage_->Release();
        InterlockedDecrement(&g_liveObjects);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject)
            *object = static_cast<IOleObject*>(this);
        else if (iid == IID_IPersistStorage)
            *object = static_cast<IPersistStorage*>(this);
        else if (iid == IID_IPersistFile)
            *object = static_cast<IPersistFile*>(this);
        else if (iid == IID_IPersist)
            *object = static_cast<IPersistStorage*>(this);
        else if (iid == IID_IViewObject || iid == IID_IViewObject2)
            *object = static_cast<IViewObject2*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
            *object = static_cast<IOleInPlaceObject*>(this);
        else if (iid == IID_IOleInPlaceActiveObject)
            *object = static_cast<IOleInPlaceActiveObject*>(this);
        else if (iid == IID_IDataObject)
            *object = static_cast<IDataObject*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override
    {
        if (site)
            site->AddRef();
        if (site_)
            site_->Release();
        site_ = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override
    {
        if (!site)
            return E_POINTER;
        *site = site_;
        if (site_)
            site_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override
    {
        InPlaceDeactivate();
        CloseOwnWindow();
        if (adviseHolder_)
            adviseHolder_->SendOnClose();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override
    {
        if (data)
            *data = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override
    {
        if (site && site != site_)
            SetClientSite(site);
        switch (verb) {
        case 0:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace();
        case 1:
        case OLEIVERB_OPEN:
            return OpenOwnWindow();
        case VerbChange:
            Change();
            return S_OK;
        case OLEIVERB_HIDE:
            InPlaceDeactivate();
            CloseOwnWindow();
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
        }
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override
    {
        if (verbs)
            *verbs = nullptr;
        return OLE_S_USEREG;
    }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = ClassId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override
    {
        return OleRegGetUserType(ClassId, form, type);
    }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override
    {
        if (aspect != DVASPECT_CONTENT || !size)
            return E_FAIL;
        extent_ = *size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override
    {
        if (!size)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return OLE_E_BLANK;
        *size = extent_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override
    {
        if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(&adviseHolder_)))
            return E_OUTOFMEMORY;
        return adviseHolder_->Advise(sink, connection);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override
    {
        return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override
    {
        if (advises)
            *advises = nullptr;
        return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override
    {
        KeepStorage(storage);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override
    {
        if (!storage)
            return E_POINTER;
        IStream* stream = nullptr;
        HRESULT result = storage->OpenStream(ContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
        if (FAILED(result))
            return result;
        std::string data;
        char buffer[4096];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
            data.append(buffer, read);
        stream->Release();
        data_ = data;
        KeepStorage(storage);
        dirty_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override
    {
        if (!storage)
            return E_POINTER;
        IStream* stream = nullptr;
        HRESULT result =
            storage->CreateStream(ContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
        if (FAILED(result))
            return result;
        ULONG written = 0;
        result = stream->Write(data_.data(), static_cast<ULONG>(data_.size()), &written);
        stream->Release();
        if (FAILED(result))
            return result;
        return WriteClassStg(storage, ClassId);
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override
    {
        if (storage)
            KeepStorage(storage);
        dirty_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override
    {
        KeepStorage(nullptr);
        return S_OK;
    }

    // IPersistFile
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD) override
    {
        HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return HRESULT_FROM_WIN32(GetLastError());
        std::string data;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            data.append(buffer, read);
        CloseHandle(file);
        data_ = data;
        dirty_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* fileName) override
    {
        if (fileName)
            *fileName = nullptr;
        return E_FAIL;
    }

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!dc || !bounds)
            return E_INVALIDARG;
        const RECT r{bounds->left, bounds->top, bounds->right, bounds->bottom};
        HBRUSH brush = CreateSolidBrush(ColourOf(data_));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) override
    {
        if (colours)
            *colours = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD, IAdviseSink* sink) override
    {
        if (sink)
            sink->AddRef();
        if (viewSink_)
            viewSink_->Release();
        viewSink_ = sink;
        viewAspects_ = aspects;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override
    {
        if (aspects)
            *aspects = viewAspects_;
        if (flags)
            *flags = 0;
        if (sink) {
            *sink = viewSink_;
            if (viewSink_)
                viewSink_->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        return static_cast<IOleObject*>(this)->GetExtent(aspect, size);
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = inPlaceWindow_;
        return inPlaceWindow_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override
    {
        if (!inPlaceSite_)
            return S_OK;
        UIDeactivate();
        if (inPlaceWindow_)
            DestroyWindow(inPlaceWindow_);
        inPlaceWindow_ = nullptr;
        IOleInPlaceSite* site = inPlaceSite_;
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override
    {
        if (!uiActive_)
            return S_OK;
        uiActive_ = false;
        if (frame_) {
            frame_->SetActiveObject(nullptr, nullptr);
            frame_->Release();
            frame_ = nullptr;
        }
        if (inPlaceSite_)
            inPlaceSite_->OnUIDeactivate(FALSE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override
    {
        if (inPlaceWindow_ && position)
            MoveWindow(inPlaceWindow_, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IDataObject: the object as an embedded object in a storage, which is
    // how the system makes an object of a file.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium)
            return E_POINTER;
        const HRESULT usable = QueryGetData(format);
        if (usable != S_OK)
            return usable;
        ILockBytes* bytes = nullptr;
        HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
        if (FAILED(result))
            return result;
        IStorage* storage = nullptr;
        result = StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
        bytes->Release();
        if (FAILED(result))
            return result;
        result = Save(storage, FALSE);
        if (FAILED(result)) {
            storage->Release();
            return result;
        }
        medium->tymed = TYMED_ISTORAGE;
        medium->pstg = storage;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium)
            return E_POINTER;
        const HRESULT usable = QueryGetData(format);
        if (usable != S_OK)
            return usable;
        if (medium->tymed != TYMED_ISTORAGE || !medium->pstg)
            return DV_E_TYMED;
        return Save(medium->pstg, FALSE);
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_POINTER;
        static const CLIPFORMAT embedSource = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embed Source"));
        static const CLIPFORMAT embeddedObject = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embedded Object"));
        if (format->cfFormat != embedSource && format->cfFormat != embeddedObject)
            return DV_E_FORMATETC;
        return format->tymed & TYMED_ISTORAGE ? S_OK : DV_E_TYMED;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (formats)
            *formats = nullptr;
        return direction == DATADIR_GET ? OLE_S_USEREG : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override
    {
        if (!dataAdviseHolder_ && FAILED(CreateDataAdviseHolder(&dataAdviseHolder_)))
            return E_OUTOFMEMORY;
        return dataAdviseHolder_->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override
    {
        return dataAdviseHolder_ ? dataAdviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override
    {
        if (advises)
            *advises = nullptr;
        return dataAdviseHolder_ ? dataAdviseHolder_->EnumAdvise(advises) : OLE_E_ADVISENOTSUPPORTED;
    }

    COLORREF Colour() const { return ColourOf(data_); }
    // The user closed the object's own window.
    void CloseOwnWindow()
    {
        if (!openWindow_)
            return;
        HWND window = openWindow_;
        openWindow_ = nullptr;
        DestroyWindow(window);
        if (site_)
            site_->OnShowWindow(FALSE);
    }

private:
    void KeepStorage(IStorage* storage)
    {
        if (storage)
            storage->AddRef();
        if (storage_)
            storage_->Release();
        storage_ = storage;
    }

    HRESULT ActivateInPlace();
    HRESULT OpenOwnWindow();
    void Change()
    {
        data_ = ChangedData(data_);
        dirty_ = true;
        if (inPlaceWindow_)
            InvalidateRect(inPlaceWindow_, nullptr, TRUE);
        if (openWindow_)
            InvalidateRect(openWindow_, nullptr, TRUE);
        if (dataAdviseHolder_)
            dataAdviseHolder_->SendOnDataChange(static_cast<IDataObject*>(this), 0, 0);
        if (viewSink_)
            viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }
    void DestroyWindows()
    {
        if (inPlaceWindow_)
            DestroyWindow(inPlaceWindow_);
        inPlaceWindow_ = nullptr;
        if (openWindow_)
            DestroyWindow(openWindow_);
        openWindow_ = nullptr;
        if (frame_)
            frame_->Release();
        frame_ = nullptr;
        if (inPlaceSite_)
            inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
    }

    LONG references_ = 1;
    std::string data_;
    bool dirty_ = false;
    SIZEL extent_{2540, 2540};
    IOleClientSite* site_ = nullptr;
    IStorage* storage_ = nullptr;
    IOleAdviseHolder* adviseHolder_ = nullptr;
    IDataAdviseHolder* dataAdviseHolder_ = nullptr;
    IAdviseSink* viewSink_ = nullptr;
    DWORD viewAspects_ = 0;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    IOleInPlaceFrame* frame_ = nullptr;
    HWND inPlaceWindow_ = nullptr;
    HWND openWindow_ = nullptr;
    bool uiActive_ = false;
};

LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = reinterpret_cast<TTestObject*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(object ? object->Colour() : RGB(128, 128, 128));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_CLOSE:
        if (object)
            object->CloseOwnWindow();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterWindowClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    for (const wchar_t* name : {InPlaceWindowClass, OpenWindowClass}) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ObjectWindowProc;
        wc.hInstance = g_module;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
}

HRESULT TTestObject::ActivateInPlace()
{
    if (inPlaceWindow_) {
        if (uiActive_ || !inPlaceSite_)
            return S_OK;
    } else {
        if (!site_)
            return E_UNEXPECTED;
        IOleInPlaceSite* site = nullptr;
        if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site))))
            return OpenOwnWindow();
        if (site->CanInPlaceActivate() != S_OK) {
            site->Release();
            return OpenOwnWindow();
        }
        inPlaceSite_ = site;
        site->OnInPlaceActivate();
        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        IOleInPlaceUIWindow* document = nullptr;
        if (FAILED(site->GetWindow(&parent)) ||
            FAILED(site->GetWindowContext(&frame_, &document, &position, &clip, &info))) {
            InPlaceDeactivate();
            return E_FAIL;
        }
        if (document)
            document->Release();
        RegisterWindowClasses();
        inPlaceWindow_ = CreateWindowExW(0, InPlaceWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                         position.left, position.top, position.right - position.left,
                                         position.bottom - position.top, parent, nullptr, g_module, nullptr);
        if (!inPlaceWindow_) {
            InPlaceDeactivate();
            return HRESULT_FROM_WIN32(GetLastError());
        }
        SetWindowLongPtrW(inPlaceWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (frame_)
        frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"OLE-Test");
    return S_OK;
}

HRESULT TTestObject::OpenOwnWindow()
{
    InPlaceDeactivate();
    if (!openWindow_) {
        RegisterWindowClasses();
        openWindow_ = CreateWindowExW(0, OpenWindowClass, L"OLE-Test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 200, 150, nullptr, nullptr, g_module, nullptr);
        if (!openWindow_)
            return HRESULT_FROM_WIN32(GetLastError());
        SetWindowLongPtrW(openWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ShowWindow(openWindow_, SW_SHOWNORMAL);
    if (site_) {
        site_->ShowObject();
        site_->OnShowWindow(TRUE);
    }
    return S_OK;
}

class TClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: its references keep nothing alive.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* made = new TTestObject;
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

TClassFactory g_factory;

std::wstring ClassKeyName()
{
    wchar_t text[64];
    StringFromGUID2(ClassId, text, 64);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr))
        return false;
    const LONG result = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != ClassId)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow()
{
    return g_liveObjects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

// The class is registered for the machine: HKEY_CLASSES_ROOT does not show
// the user's classes under Wine.
STDAPI DllRegisterServer()
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(g_module, module, MAX_PATH);
    const std::wstring key = ClassKeyName();
    wchar_t shell32[MAX_PATH];
    GetSystemDirectoryW(shell32, MAX_PATH);
    const bool ok =
        SetValue(key, nullptr, L"Quorvan OLE-Testobjekt") && SetValue(key + L"\\InprocServer32", nullptr, module) &&
        SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
        SetValue(key + L"\\ProgID", nullptr, ProgId) && SetValue(key + L"\\Verb\\0", nullptr, L"&Bearbeiten,0,2") &&
        SetValue(key + L"\\Verb\\1", nullptr, L"&Öffnen,0,2") && SetValue(key + L"\\Verb\\2", nullptr, L"Ändern,0,2") &&
        SetValue(key + L"\\DefaultIcon", nullptr, std::wstring(shell32) + L"\\shell32.dll,0") &&
        SetValue(key + L"\\AuxUserType\\2", nullptr, L"OLE-Test") &&
        SetValue(std::wstring(L"Software\\Classes\\") + ProgId, nullptr, L"Quorvan OLE-Testobjekt") &&
        SetValue(std::wstring(L"Software\\Classes\\") + ProgId + L"\\CLSID", nullptr,
                 key.substr(key.rfind(L'\\') + 1)) &&
        SetValue(std::wstring(L"Software\\Classes\\") + Extension, nullptr, ProgId);
    return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer()
{
    const std::wstring keys[] = {ClassKeyName(), std::wstring(L"Software\\Classes\\") + ProgId,
                                 std::wstring(L"Software\\Classes\\") + Extension};
    HRESULT result = S_OK;
    for (const std::wstring& key : keys) {
        const LONG deleted = RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
            result = SELFREG_E_CLASS;
    }
    return result;
}

extern "C" int __cdecl QrvOleTestLiveObjects()
{
    return static_cast<int>(g_liveObjects);
}

#include "viewers/win/KyOleCtnrs.h"

#include "common/win/TempFiles.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "viewers/OleDataHeader.h"

#include <algorithm>
#include <cwchar>

namespace qrv {

using Microsoft::WRL::ComPtr;

namespace {

// Posted to the container: raise the failures of calls the object made.
constexpr UINT WM_QRV_OLE_RAISE = WM_APP + 0x3E10;

// The screen's resolution, read once for the HIMETRIC conversions.
struct TScreenResolution {
    int X = 96, Y = 96;
    TScreenResolution()
    {
        const TWindowDC screen(nullptr);
        if (screen) {
            X = GetDeviceCaps(screen.Get(), LOGPIXELSX);
            Y = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        }
    }
};

const TScreenResolution& Screen()
{
    static const TScreenResolution resolution;
    return resolution;
}

// Raises the framework's OLE exception with the system's text of a failed result.
void OleCheck(HRESULT result)
{
    if (SUCCEEDED(result))
        return;
    std::wstring text = SysErrorMessage(static_cast<DWORD>(result));
    if (text.empty()) {
        // The system has no text for many OLE results (Wine for none): the code is named.
        wchar_t code[16];
        swprintf(code, 16, L"0x%08X", static_cast<unsigned>(result));
        text = std::wstring(L"OLE-Fehler ") + code;
    }
    throw EOleSysError(text, result);
}

TOleRect ToOleRect(const RECT& r)
{
    return TOleRect{r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const TOleRect& r)
{
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

std::wstring ApplicationTitle()
{
    return Application ? Application->Title() : std::wstring();
}

// The form a control sits on.
TForm* ParentForm(TControl* control)
{
    TForm* form = nullptr;
    for (TControl* c = control; c; c = c->Parent())
        if (auto* f = dynamic_cast<TForm*>(c))
            form = f;
    return form;
}

// The accelerators of a menu's items with shortcuts.
void CollectAccelerators(const TMenuItem* item, std::vector<ACCEL>& table)
{
    for (int i = 0; i < item->Count(); ++i) {
        const TMenuItem* child = item->Items(i);
        if (child->ShortCut() != scNone) {
            ACCEL accel{};
            accel.fVirt = FVIRTKEY;
            if (child->ShortCut() & scShift)
                accel.fVirt |= FSHIFT;
            if (child->ShortCut() & scCtrl)
                accel.fVirt |= FCONTROL;
            if (child->ShortCut() & scAlt)
                accel.fVirt |= FALT;
            accel.key = ShortCutKey(child->ShortCut());
            accel.cmd = static_cast<WORD>(child->Command());
            table.push_back(accel);
        }
        CollectAccelerators(child, table);
    }
}

// Frees a METAFILEPICT in global memory with its metafile.
void FreeMetafilePicture(HGLOBAL picture)
{
    if (auto* locked = static_cast<METAFILEPICT*>(GlobalLock(picture))) {
        if (locked->hMF)
            DeleteMetaFile(locked->hMF);
        GlobalUnlock(picture);
    }
    GlobalFree(picture);
}

// The icon of a class: its "DefaultIcon", else the system's application icon.
HICON ClassIcon(const CLSID& clsid)
{
    wchar_t classText[64] = L"";
    StringFromGUID2(clsid, classText, 64);
    const std::wstring key = std::wstring(L"CLSID\\") + classText + L"\\DefaultIcon";
    wchar_t location[MAX_PATH + 16] = L"";
    DWORD size = sizeof location;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr, location,
                     &size) == ERROR_SUCCESS) {
        std::wstring file = location;
        int index = 0;
        if (const size_t comma = file.rfind(L','); comma != std::wstring::npos) {
            index = StrToIntDef(file.substr(comma + 1), 0);
            file.resize(comma);
        }
        wchar_t expanded[MAX_PATH] = L"";
        if (ExpandEnvironmentStringsW(file.c_str(), expanded, MAX_PATH))
            file = expanded;
        HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), file.c_str(), static_cast<UINT>(index));
        if (extracted && extracted != reinterpret_cast<HICON>(1))
            return extracted;
    }
    return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
}

// The class's icon with its short name as the picture an object's cache keeps
// for the icon aspect: the system's, or one made of the icon given.
HGLOBAL ClassIconPicture(const CLSID& clsid, HICON icon)
{
    if (HGLOBAL picture = OleGetIconOfClass(clsid, nullptr, TRUE))
        return picture;
    LPOLESTR label = nullptr;
    if (FAILED(OleRegGetUserType(clsid, USERCLASSTYPE_SHORT, &label)))
        label = nullptr;
    const TTaskMemory labelOwner(label);
    wchar_t none[] = L"";
    return OleMetafilePictFromIconAndLabel(icon, label ? label : none, nullptr, 0);
}

}  // namespace

const TOleContainerFormats& OleContainerFormats()
{
    static const TOleContainerFormats formats = [] {
        TOleContainerFormats f{};
        f.ObjectDescriptor = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Object Descriptor"));
        f.EmbeddedObject = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embedded Object"));
        f.LinkSource = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Link Source"));
        f.EmbeddedObjectFormat = FORMATETC{f.EmbeddedObject, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTORAGE};
        f.ObjectDescriptorFormat = FORMATETC{f.ObjectDescriptor, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        Screen();
        return f;
    }();
    return formats;
}

// ---- TKyOLEForm ---------------------------------------------------------------------

TKyOLEForm* TKyOLEForm::ForForm(TForm& form)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* frame = dynamic_cast<TKyOLEForm*>(form.Components(i)))
            return frame;
    return new TKyOLEForm(form);
}

TKyOLEForm::TKyOLEForm(TForm& form) : TComponent(&form), form_(form), frame_(TOleInPlaceFrame::Create(*this))
{
    sizeListener_ = form.AddMessageListener([this](TMessage& message) {
        if (message.Msg == WM_SIZE)
            FormResized();
        return false;
    });
}

TKyOLEForm::~TKyOLEForm()
{
    // The form goes: every object on it goes first, while its window stands.
    const std::vector<TKyOLEContainer*> containers = containers_;
    for (TKyOLEContainer* container : containers) {
        try {
            container->DestroyObject();
        } catch (...) {
            TraceIgnoredException(L"OLE form: free an object");
        }
        container->formFrame_ = nullptr;
    }
    containers_.clear();
    activeObject_.Reset();
    form_.RemoveMessageListener(sizeListener_);
    frame_->Detach();
    frame_->Release();
}

HWND TKyOLEForm::WindowHandle()
{
    return form_.Handle();
}

void TKyOLEForm::AddContainer(TKyOLEContainer* container)
{
    if (std::find(containers_.begin(), containers_.end(), container) == containers_.end())
        containers_.push_back(container);
}

void TKyOLEForm::RemoveContainer(TKyOLEContainer* container)
{
    containers_.erase(std::remove(containers_.begin(), containers_.end(), container), containers_.end());
    if (activeControl_ == container)
        activeControl_ = nullptr;
}

void TKyOLEForm::SetActiveOleControl(TKyOLEContainer* container)
{
    if (activeControl_ == container)
        return;
    TKyOLEContainer* previous = activeControl_;
    activeControl_ = container;
    if (previous && previous->inPlaceObject_)
        if (FAILED(previous->inPlaceObject_->UIDeactivate()))
            TraceIgnoredFailure(L"OLE form: deactivate the other object");
}

HWND TKyOLEForm::FrameWindow()
{
    return form_.HandleAllocated() ? form_.Handle() : nullptr;
}

void TKyOLEForm::FrameActiveObjectChanged(IOleInPlaceActiveObject* object)
{
    activeObject_ = object;
}

bool TKyOLEForm::FrameTranslateAccelerator(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    TMainMenu* menu = form_.Menu();
    return menu && menu->IsShortCut(ShortCutFromKey(static_cast<WORD>(message.wParam)));
}

void TKyOLEForm::FrameFailed(std::exception_ptr error)
{
    if (activeControl_)
        activeControl_->SiteFailed(error);
    else if (Application)
        Application->HandleException(error);
}

void TKyOLEForm::FormResized()
{
    if (!activeObject_)
        return;
    RECT client{};
    GetClientRect(form_.Handle(), &client);
    if (FAILED(activeObject_->ResizeBorder(&client, frame_, TRUE)))
        TraceIgnoredFailure(L"OLE form: resize the object's border");
}

// ---- TKyOLEContainer: life --------------------------------------------------------

TKyOLEContainer::TKyOLEContainer(TComponent* owner) : TCustomControl(owner), site_(TOleContainerSite::Create(*this))
{
    OleContainerFormats();
    SetBounds(0, 0, 121, 121);
    SetColor(clWindow);
}

TKyOLEContainer::~TKyOLEContainer()
{
    // The control goes: no handler is called from here on.
    OnActivate = OnDeactivate = OnDataChanged = OnShowObject = nullptr;
    OnObjectMove = nullptr;
    try {
        DestroyObject();
    } catch (...) {
        TraceIgnoredException(L"OLE container: free the object");
    }
    if (formFrame_)
        formFrame_->RemoveContainer(this);
    site_->Detach();
    site_->Release();
    for (const std::exception_ptr& error : pending_) {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            TraceIgnoredException(L"OLE container: a failure not raised before the control went");
        }
    }
}

void TKyOLEContainer::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TKyOLEContainer";
    params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
    if (borderStyle_ == TOleBorderStyle::bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TKyOLEContainer::CheckObject() const
{
    if (!object_)
        throw EOleError(L"Operation mit einem leeren OLE-Container nicht zulässig");
}

int TKyOLEContainer::GetState()
{
    const bool running = object_ && OleIsRunning(object_.Get());
    return ObjectState(object_ != nullptr, running, open_, uiActive_);
}

TKyOLEForm* TKyOLEContainer::FormFrame()
{
    if (!formFrame_)
        if (TForm* form = ParentForm(this))
            formFrame_ = TKyOLEForm::ForForm(*form);
    return formFrame_;
}

// ---- Creation ---------------------------------------------------------------------

void TKyOLEContainer::NewStorage()
{
    TLockBytesPtr bytes;
    OleCheck(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
    TStoragePtr storage;
    OleCheck(
        StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage));
    lockBytes_ = bytes;
    storage_ = storage;
}

template <class Make>
void TKyOLEContainer::MakeObject(Make make, DWORD aspect, bool iconic, TLockBytesPtr bytes, TStoragePtr storage)
{
    DestroyObject();
    try {
        if (storage) {
            lockBytes_ = bytes;
            storage_ = storage;
        } else {
            NewStorage();
        }
        OleCheck(make(site_->ClientSite(), storage_.Get(), object_.ReleaseAndGetAddressOf()));
        aspect_ = aspect;
        InitObject();
        ApplyIconic(iconic);
        UpdateExtent();
        AdjustAutoSize();
        if (HandleAllocated())
            InvalidateRect(handle_, nullptr, TRUE);
    } catch (...) {
        DestroyObject();
        throw;
    }
}

void TKyOLEContainer::CreateObjectFromFile(const std::wstring& fileName, bool iconic)
{
    MakeObject(
        [&](IOleClientSite* site, IStorage* storage, IOleObject** made) {
            return OleCreateFromFile(CLSID_NULL, fileName.c_str(), IID_IOleObject, OLERENDER_DRAW, nullptr, site,
                                     storage, reinterpret_cast<void**>(made));
        },
        DVASPECT_CONTENT, iconic);
}

void TKyOLEContainer::CreateObject(const CLSID& classId, bool iconic)
{
    MakeObject(
        [&](IOleClientSite* site, IStorage* storage, IOleObject** made) {
            return OleCreate(classId, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                             reinterpret_cast<void**>(made));
        },
        DVASPECT_CONTENT, iconic);
}

void TKyOLEContainer::CreateLinkToFile(const std::wstring& fileName, bool iconic)
{
    MakeObject(
        [&](IOleClientSite* site, IStorage* storage, IOleObject** made) {
            return OleCreateLinkToFile(fileName.c_str(), IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                       reinterpret_cast<void**>(made));
        },
        DVASPECT_CONTENT, iconic);
}

void TKyOLEContainer::CreateObjectFromData(IDataObject* data, bool iconic)
{
    if (!data)
        OleCheck(E_POINTER);
    MakeObject(
        [&](IOleClientSite* site, IStorage* storage, IOleObject** made) {
            return OleCreateFromData(data, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                     reinterpret_cast<void**>(made));
        },
        DVASPECT_CONTENT, iconic);
}

void TKyOLEContainer::CreateLinkFromData(IDataObject* data, bool iconic)
{
    if (!data)
        OleCheck(E_POINTER);
    MakeObject(
        [&](IOleClientSite* site, IStorage* storage, IOleObject** made) {
            return OleCreateLinkFromData(data, IID_IOleObject, OLERENDER_DRAW, nullptr, site, storage,
                                         reinterpret_cast<void**>(made));
        },
        DVASPECT_CONTENT, iconic);
}

void TKyOLEContainer::InitObject()
{
    if (TKyOLEForm* frame = FormFrame())
        frame->AddContainer(this);
    OleCheck(object_->Advise(site_->AdviseSink(), &adviseConnection_));
    const std::wstring caption = Caption().empty() ? Name() : Caption();
    OleCheck(object_->SetHostNames(ApplicationTitle().c_str(), caption.c_str()));
    OleCheck(OleSetContainedObject(object_.Get(), TRUE));
    if (SUCCEEDED(object_.As(&viewObject_)))
        OleCheck(viewObject_->SetAdvise(aspect_, 0, site_->AdviseSink()));
    const RECT client = ObjectRect();
    SIZEL size{PixelsToHimetric(client.right - client.left, Screen().X),
               PixelsToHimetric(client.bottom - client.top, Screen().Y)};
    if (FAILED(object_->SetExtent(DVASPECT_CONTENT, &size)))
        TraceIgnoredFailure(L"OLE container: the object keeps its size");
}

void TKyOLEContainer::SetIconic(bool iconic)
{
    if (!object_) {
        aspect_ = iconic ? DVASPECT_ICON : DVASPECT_CONTENT;
        return;
    }
    ApplyIconic(iconic);
    UpdateExtent();
    AdjustAutoSize();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void TKyOLEContainer::ApplyIconic(bool iconic)
{
    const DWORD aspect = iconic ? DVASPECT_ICON : DVASPECT_CONTENT;
    ComPtr<IOleCache> cache;
    object_.As(&cache);
    if (aspect != aspect_) {
        if (cache) {
            // The old aspect's cached picture goes; the new aspect gets one.
            ComPtr<IEnumSTATDATA> entries;
            if (SUCCEEDED(cache->EnumCache(&entries)) && entries) {
                STATDATA data{};
                while (entries->Next(1, &data, nullptr) == S_OK) {
                    if (data.formatetc.dwAspect == aspect_ && FAILED(cache->Uncache(data.dwConnection)))
                        TraceIgnoredFailure(L"OLE container: drop the old aspect's picture");
                    if (data.pAdvSink)
                        data.pAdvSink->Release();
                }
            }
            FORMATETC format{0, nullptr, aspect, -1, TYMED_NULL};
            DWORD connection = 0;
            const HRESULT cached = cache->Cache(&format, ADVF_PRIMEFIRST, &connection);
            if (FAILED(cached) && cached != CACHE_S_SAMECACHE)
                TraceIgnoredFailure(L"OLE container: cache the new aspect", static_cast<DWORD>(cached));
        }
        if (viewObject_ && FAILED(viewObject_->SetAdvise(aspect, 0, site_->AdviseSink())))
            TraceIgnoredFailure(L"OLE container: advise for the new aspect");
        aspect_ = aspect;
    }
    classIcon_.Reset();
    if (iconic) {
        CLSID clsid{};
        OleCheck(object_->GetUserClassID(&clsid));
        classIcon_.Reset(ClassIcon(clsid));
        if (HGLOBAL picture = cache ? ClassIconPicture(clsid, classIcon_.Get()) : nullptr) {
            FORMATETC format{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
            STGMEDIUM medium{};
            medium.tymed = TYMED_MFPICT;
            medium.hMetaFilePict = picture;
            // The cache takes the picture; when it refuses, the picture is freed here.
            if (FAILED(cache->SetData(&format, &medium, TRUE))) {
                TraceIgnoredFailure(L"OLE container: store the class icon with the object");
                FreeMetafilePicture(picture);
            }
        }
    } else if (FAILED(object_->Update())) {
        TraceIgnoredFailure(L"OLE container: update the object");
    }
}

void TKyOLEContainer::UpdateExtent()
{
    SIZEL size{0, 0};
    bool known = SUCCEEDED(object_->GetExtent(aspect_, &size));
    if (!known && aspect_ == DVASPECT_ICON && classIcon_) {
        // Drawn by the container: the icon's own size.
        extentPixels_ = TOleSize{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
        extentHimetric_ = SIZEL{PixelsToHimetric(extentPixels_.Width, Screen().X),
                                PixelsToHimetric(extentPixels_.Height, Screen().Y)};
        return;
    }
    if (!known)
        return;
    extentHimetric_ = size;
    extentPixels_ = TOleSize{HimetricToPixels(size.cx, Screen().X), HimetricToPixels(size.cy, Screen().Y)};
}

void TKyOLEContainer::AdjustAutoSize()
{
    if (sizeMode_ != TSizeMode::smAutoSize || !object_)
        return;
    const int border = borderStyle_ == TOleBorderStyle::bsSingle ? GetSystemMetrics(SM_CXEDGE) : 0;
    const TOleSize size = AutoSizeBounds(extentPixels_, border);
    SetBounds(Left(), Top(), size.Width, size.Height);
}

// ---- Verbs ------------------------------------------------------------------------

const std::vector<std::wstring>& TKyOLEContainer::ObjectVerbs()
{
    if (verbsRead_ || !object_)
        return verbCaptions_;
    verbsRead_ = true;
    ComPtr<IEnumOLEVERB> verbs;
    HRESULT result = object_->EnumVerbs(&verbs);
    if (result == OLE_S_USEREG) {
        verbs.Reset();
        CLSID clsid{};
        OleCheck(object_->GetUserClassID(&clsid));
        result = OleRegEnumVerbs(clsid, &verbs);
    }
    if (FAILED(result) || !verbs)
        return verbCaptions_;
    OLEVERB verb{};
    while (verbs->Next(1, &verb, nullptr) == S_OK) {
        // The container lists the object's own verbs, not the system's.
        if (verb.lVerb >= 0 && verb.lpszVerbName) {
            verbCaptions_.emplace_back(verb.lpszVerbName);
            verbNumbers_.push_back(verb.lVerb);
        }
        CoTaskMemFree(verb.lpszVerbName);
    }
    return verbCaptions_;
}

TPopupMenu* TKyOLEContainer::VerbMenu()
{
    if (!AutoVerbMenu || ObjectVerbs().empty())
        return nullptr;
    if (!verbMenu_) {
        verbMenu_ = std::make_unique<TPopupMenu>(nullptr);
        for (size_t i = 0; i < verbCaptions_.size(); ++i) {
            auto* item = new TMenuItem(verbMenu_.get());
            item->SetCaption(verbCaptions_[i]);
            item->Tag = static_cast<intptr_t>(i);
            item->OnClick = [this](TComponent* sender) { DoVerb(static_cast<int>(sender->Tag)); };
            verbMenu_->Items()->Add(item);
        }
    }
    return verbMenu_.get();
}

int TKyOLEContainer::DoVerb(int verb)
{
    CheckObject();
    if (verb > 0)
        ObjectVerbs();
    const int number = ResolveVerb(verb, verbNumbers_);
    const HWND parent = inPlaceActive_ || !Parent() ? Handle() : Parent()->Handle();
    RECT position = inPlaceActive_ ? ObjectRect() : BoundsRect();
    const HRESULT result = object_->DoVerb(number, nullptr, site_->ClientSite(), 0, parent, &position);
    RaisePending();
    OleCheck(result);
    return result;
}

void TKyOLEContainer::Close()
{
    CheckObject();
    const HRESULT result = object_->Close(OLECLOSE_NOSAVE);
    RaisePending();
    OleCheck(result);
}

void TKyOLEContainer::FreeVerbs()
{
    verbMenu_.reset();
    verbCaptions_.clear();
    verbNumbers_.clear();
    verbsRead_ = false;
}

void TKyOLEContainer::FreeAccelerators()
{
    if (accelerators_)
        DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    acceleratorCount_ = 0;
}

// ---- Ending -----------------------------------------------------------------------

void TKyOLEContainer::DestroyObject()
{
    if (!object_) {
        ReleaseObject();  // what a failed creation left: its storage
        return;
    }
    ScopeExit release([this] { ReleaseObject(); });
    if (inPlaceObject_) {
        if (uiActive_ && FAILED(inPlaceObject_->UIDeactivate()))
            TraceIgnoredFailure(L"OLE container: end the object's user interface");
        if (inPlaceObject_ && FAILED(inPlaceObject_->InPlaceDeactivate()))
            TraceIgnoredFailure(L"OLE container: end the object's activity in place");
    }
    if (viewObject_ && FAILED(viewObject_->SetAdvise(aspect_, 0, nullptr)))
        TraceIgnoredFailure(L"OLE container: stop the view advise");
    if (adviseConnection_ && FAILED(object_->Unadvise(adviseConnection_)))
        TraceIgnoredFailure(L"OLE container: stop the advise");
    adviseConnection_ = 0;
    if (FAILED(object_->Close(OLECLOSE_NOSAVE)))
        TraceIgnoredFailure(L"OLE container: close the object");
    if (FAILED(object_->SetClientSite(nullptr)))
        TraceIgnoredFailure(L"OLE container: take the site from the object");
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
    release.Release();
    ReleaseObject();
    RunEvent(OnDataChanged);
    RaisePending();
}

void TKyOLEContainer::ReleaseObject()
{
    if (formFrame_) {
        if (formFrame_->ActiveOleControl() == this)
            formFrame_->SetActiveOleControl(nullptr);
        formFrame_->RemoveContainer(this);
        formFrame_ = nullptr;
    }
    inPlaceObject_.Reset();
    viewObject_.Reset();
    object_.Reset();
    storage_.Reset();
    lockBytes_.Reset();
    classIcon_.Reset();
    open_ = inPlaceActive_ = uiActive_ = false;
    modified_ = dataChanged_ = false;
    extentHimetric_ = SIZEL{0, 0};
    extentPixels_ = TOleSize{};
    FreeVerbs();
    FreeAccelerators();
}

// ---- Saving -----------------------------------------------------------------------

void TKyOLEContainer::SavePendingChanges()
{
    if (!modified_)
        return;
    ComPtr<IPersistStorage> persist;
    OleCheck(object_.As(&persist));
    OleCheck(OleSave(persist.Get(), storage_.Get(), TRUE));
    OleCheck(persist->SaveCompleted(nullptr));
    modified_ = false;
}

void TKyOLEContainer::SaveAsDocument(const std::wstring& fileName)
{
    CheckObject();
    ComPtr<IPersistStorage> persist;
    if (FAILED(object_.As(&persist)))
        throw EOleError(L"Das Objekt kann nicht als Dokument gespeichert werden");
    SavePendingChanges();
    // Into a compound file beside the target, which replaces the target only
    // when it is complete: a failed save keeps the old document.
    std::wstring folder = fileName.substr(0, fileName.find_last_of(L"\\/:") + 1);
    if (folder.empty())
        folder = L".";
    const std::wstring tempName = CreateTemporaryFile(folder, L"qrv");
    if (tempName.empty())
        OleCheck(HRESULT_FROM_WIN32(GetLastError()));
    ScopeExit removeTemp([&] {
        if (!DeleteFileW(tempName.c_str()))
            TraceIgnoredFailure(L"OLE container: remove the unfinished document", GetLastError());
    });
    {
        TStoragePtr document;
        OleCheck(StgCreateDocfile(tempName.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &document));
        const HRESULT saved = OleSave(persist.Get(), document.Get(), FALSE);
        // The object goes on with its own storage in every case.
        const HRESULT completed = persist->SaveCompleted(nullptr);
        OleCheck(saved);
        OleCheck(completed);
        OleCheck(document->Commit(STGC_DEFAULT));
    }
    if (!MoveFileExW(tempName.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        OleCheck(HRESULT_FROM_WIN32(GetLastError()));
    removeTemp.Release();
}

void TKyOLEContainer::SaveToStream(TStream& stream)
{
    CheckObject();
    SavePendingChanges();
    TLockBytesPtr bytes = lockBytes_;
    if (CopyOnSave) {
        // A fresh compound file holds the object's data without the gaps
        // the storage gathered.
        TLockBytesPtr copyBytes;
        OleCheck(CreateILockBytesOnHGlobal(nullptr, TRUE, &copyBytes));
        TStoragePtr copy;
        OleCheck(StgCreateDocfileOnILockBytes(copyBytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                              &copy));
        OleCheck(storage_->CopyTo(0, nullptr, nullptr, copy.Get()));
        OleCheck(copy->Commit(STGC_DEFAULT));
        bytes = copyBytes;
    } else {
        OleCheck(storage_->Commit(STGC_DEFAULT));
    }
    STATSTG stat{};
    OleCheck(bytes->Stat(&stat, STATFLAG_NONAME));
    if (stat.cbSize.QuadPart > 0xFFFFFFFFull)
        throw EOleError(L"Ungültiges Stream-Format");
    HGLOBAL memory = nullptr;
    OleCheck(GetHGlobalFromILockBytes(bytes.Get(), &memory));
    TOleDataHeader header;
    header.OldFormat = OldStreamFormat;
    header.Aspect = aspect_;
    header.Left = static_cast<int16_t>(Left());
    header.Top = static_cast<int16_t>(Top());
    header.Right = static_cast<int16_t>(Left() + Width());
    header.Bottom = static_cast<int16_t>(Top() + Height());
    header.Length = static_cast<uint32_t>(stat.cbSize.QuadPart);
    const auto encoded = EncodeOleDataHeader(header);
    const void* data = GlobalLock(memory);
    if (!data)
        OleCheck(HRESULT_FROM_WIN32(GetLastError()));
    ScopeExit unlock([memory] { GlobalUnlock(memory); });
    stream.WriteBuffer(encoded.data(), encoded.size());
    stream.WriteBuffer(data, header.Length);
}

void TKyOLEContainer::LoadFromStream(TStream& stream)
{
    const int64_t available = stream.Size() - stream.Position();
    uint8_t headerBytes[kOleDataHeaderSize];
    const size_t read = stream.Read(headerBytes, std::min<int64_t>(available, kOleDataHeaderSize));
    // The length is checked against what the stream holds before anything is allotted.
    const TOleDataHeader header = DecodeOleDataHeader(
        headerBytes, read < kOleDataHeaderSize ? read : static_cast<uint64_t>(available), OldStreamFormat);
    TGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, header.Length));
    if (!memory)
        OleCheck(E_OUTOFMEMORY);
    {
        void* data = GlobalLock(memory.Get());
        if (!data)
            OleCheck(E_OUTOFMEMORY);
        ScopeExit unlock([&] { GlobalUnlock(memory.Get()); });
        stream.ReadBuffer(data, header.Length);
    }
    TLockBytesPtr bytes;
    OleCheck(CreateILockBytesOnHGlobal(memory.Get(), TRUE, &bytes));
    (void)memory.Release();  // the lock bytes own it now
    TStoragePtr storage;
    OleCheck(
        StgOpenStorageOnILockBytes(bytes.Get(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage));
    if (header.OldFormat)
        SetBounds(header.Left, header.Top, header.Right - header.Left, header.Bottom - header.Top);
    MakeObject([](IOleClientSite* site, IStorage* storage,
                  IOleObject** made) { return OleLoad(storage, IID_IOleObject, site, reinterpret_cast<void**>(made)); },
               header.Aspect, header.Aspect == DVASPECT_ICON, bytes, storage);
}

// ---- Look -------------------------------------------------------------------------

void TKyOLEContainer::SetSizeMode(TSizeMode mode)
{
    sizeMode_ = mode;
    AdjustAutoSize();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void TKyOLEContainer::SetBorderStyle(TOleBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    if (HandleAllocated()) {
        LONG_PTR exStyle = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
        exStyle = style == TOleBorderStyle::bsSingle ? exStyle | WS_EX_CLIENTEDGE : exStyle & ~WS_EX_CLIENTEDGE;
        SetWindowLongPtrW(handle_, GWL_EXSTYLE, exStyle);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AdjustAutoSize();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

RECT TKyOLEContainer::ObjectRect()
{
    RECT client{0, 0, Width(), Height()};
    if (HandleAllocated())
        GetClientRect(handle_, &client);
    return client;
}

void TKyOLEContainer::Paint(HDC dc)
{
    // The object active in place draws itself in its own window.
    if (uiActive_ && inPlaceActive_)
        return;
    const RECT client = ObjectRect();
    TGdiObject background(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &client, static_cast<HBRUSH>(background.Get()));
    if (!object_)
        return;
    const RECT rect = ToRect(ObjectDrawRect(sizeMode_, Iconic(), ToOleRect(client), extentPixels_));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    const HRESULT drawn = OleDraw(object_.Get(), aspect_, dc, &rect);
    if (FAILED(drawn) && Iconic())
        PaintIcon(dc, rect);
    if (open_) {
        // Hatched over while the object is shown in its own window.
        TGdiObject hatch(CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0)));
        const int mode = SetBkMode(dc, TRANSPARENT);
        FillRect(dc, &rect, static_cast<HBRUSH>(hatch.Get()));
        SetBkMode(dc, mode);
    }
    RestoreDC(dc, saved);
    if (focused_)
        DrawFocusRect(dc, &client);
}

void TKyOLEContainer::PaintIcon(HDC dc, const RECT& rect)
{
    if (classIcon_ && !DrawIconEx(dc, rect.left, rect.top, classIcon_.Get(), rect.right - rect.left,
                                  rect.bottom - rect.top, 0, nullptr, DI_NORMAL))
        TraceIgnoredFailure(L"OLE container: draw the class icon", GetLastError());
}

// ---- Messages and events ----------------------------------------------------------

void TKyOLEContainer::RunEvent(const TNotifyEvent& event)
{
    if (event)
        event(this);
}

void TKyOLEContainer::SiteFailed(std::exception_ptr error)
{
    pending_.push_back(error);
    if (HandleAllocated() && !PostMessageW(handle_, WM_QRV_OLE_RAISE, 0, 0))
        TraceIgnoredFailure(L"OLE container: post a failure", GetLastError());
}

void TKyOLEContainer::RaisePending()
{
    if (pending_.empty())
        return;
    const std::exception_ptr error = pending_.front();
    pending_.erase(pending_.begin());
    std::rethrow_exception(error);
}

void TKyOLEContainer::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_QRV_OLE_RAISE:
        message.Result = 0;
        RaisePending();
        return;
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        // The object active in place follows the container's size.
        if (inPlaceObject_) {
            const RECT client = ObjectRect();
            if (FAILED(inPlaceObject_->SetObjectRects(&client, &client)))
                TraceIgnoredFailure(L"OLE container: move the object active in place");
        }
        return;
    case WM_SETFOCUS:
        focused_ = true;
        InvalidateRect(handle_, nullptr, FALSE);
        TCustomControl::WndProc(message);
        if (AutoActivate == TAutoActivate::aaGetFocus && object_ && !uiActive_)
            DoVerb(ovInPlaceActivate);
        return;
    case WM_KILLFOCUS:
        focused_ = false;
        InvalidateRect(handle_, nullptr, FALSE);
        break;
    case WM_LBUTTONDOWN:
        if (!Focused())
            SetFocus();
        break;
    case WM_LBUTTONDBLCLK:
        if (AutoActivate == TAutoActivate::aaDoubleClick && object_) {
            DoVerb(ovPrimary);
            message.Result = 0;
            return;
        }
        break;
    case WM_GETDLGCODE: {
        // Enter activates the object; every other key is the form's.
        const auto* key = reinterpret_cast<const MSG*>(message.LParam);
        const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        message.Result = enter && AutoActivate != TAutoActivate::aaManual && object_ ? DLGC_WANTMESSAGE : 0;
        return;
    }
    case WM_KEYDOWN:
        if (message.WParam == VK_RETURN && AutoActivate != TAutoActivate::aaManual && object_) {
            DoVerb(GetKeyState(VK_CONTROL) < 0 ? ovInPlaceActivate : ovPrimary);
            message.Result = 0;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (TPopupMenu* menu = VerbMenu()) {
            POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            if (at.x == -1 && at.y == -1) {
                at = POINT{0, 0};
                ClientToScreen(handle_, &at);
            }
            menu->Popup(at.x, at.y, handle_);
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

// ---- What the object asks of its site ---------------------------------------------

HRESULT TKyOLEContainer::SiteSaveObject()
{
    if (!object_)
        return E_UNEXPECTED;
    ComPtr<IPersistStorage> persist;
    HRESULT result = object_.As(&persist);
    if (FAILED(result))
        return result;
    result = OleSave(persist.Get(), storage_.Get(), TRUE);
    const HRESULT completed = persist->SaveCompleted(nullptr);
    return FAILED(result) ? result : completed;
}

void TKyOLEContainer::SiteShowObject()
{
    RunEvent(OnShowObject);
}

void TKyOLEContainer::SiteShowWindow(bool shown)
{
    open_ = shown;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void TKyOLEContainer::SiteChanged(bool /*viewOnly*/)
{
    modified_ = true;
    dataChanged_ = true;
    if (object_)
        UpdateExtent();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
    RunEvent(OnDataChanged);
}

void TKyOLEContainer::SiteClosed()
{
    open_ = false;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

HWND TKyOLEContainer::SiteWindow()
{
    if (inPlaceActive_ || !Parent())
        return Handle();
    return Parent()->Handle();
}

bool TKyOLEContainer::SiteCanInPlaceActivate()
{
    return AllowInPlace && Visible() && !Iconic() && HandleAllocated() && IsWindowVisible(handle_);
}

void TKyOLEContainer::SiteInPlaceActivated()
{
    inPlaceActive_ = true;
    if (object_ && FAILED(object_.As(&inPlaceObject_)))
        TraceIgnoredFailure(L"OLE container: the object active in place has no in-place interface");
}

void TKyOLEContainer::SiteUIActivated()
{
    uiActive_ = true;
    if (TKyOLEForm* frame = FormFrame())
        frame->SetActiveOleControl(this);
    RunEvent(OnActivate);
}

void TKyOLEContainer::SiteWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT& position,
                                        RECT& clip, OLEINPLACEFRAMEINFO& frameInfo)
{
    TKyOLEForm* form = FormFrame();
    if (form) {
        *frame = form->Frame();
        (*frame)->AddRef();
    }
    // The form is both frame and document window.
    *document = nullptr;
    position = inPlaceActive_ ? ObjectRect() : BoundsRect();
    clip = position;
    FreeAccelerators();
    if (TForm* parentForm = ParentForm(this); parentForm && parentForm->Menu()) {
        std::vector<ACCEL> table;
        CollectAccelerators(parentForm->Menu()->Items(), table);
        if (!table.empty()) {
            accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
            acceleratorCount_ = accelerators_ ? static_cast<int>(table.size()) : 0;
        }
    }
    frameInfo.cb = sizeof frameInfo;
    frameInfo.fMDIApp = FALSE;
    frameInfo.hwndFrame = form ? form->WindowHandle() : nullptr;
    frameInfo.haccel = accelerators_;
    frameInfo.cAccelEntries = static_cast<UINT>(acceleratorCount_);
}

void TKyOLEContainer::SiteUIDeactivated()
{
    uiActive_ = false;
    if (formFrame_ && formFrame_->ActiveOleControl() == this)
        formFrame_->SetActiveOleControl(nullptr);
    FreeAccelerators();
    // The focus the object's window had comes back to the container.
    if (const HWND focus = GetFocus(); HandleAllocated() && focus && IsChild(handle_, focus) && !Destroying())
        ::SetFocus(handle_);
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
    RunEvent(OnDeactivate);
}

void TKyOLEContainer::SiteInPlaceDeactivated()
{
    inPlaceActive_ = false;
    inPlaceObject_.Reset();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void TKyOLEContainer::SitePositionChanged(const RECT& position)
{
    if (inPlaceObject_ && FAILED(inPlaceObject_->SetObjectRects(&position, &position)))
        TraceIgnoredFailure(L"OLE container: move the object active in place");
    if (OnObjectMove)
        OnObjectMove(this, position);
}

void TKyOLEContainer::SiteDeactivateRequested()
{
    if (inPlaceObject_ && FAILED(inPlaceObject_->UIDeactivate()))
        TraceIgnoredFailure(L"OLE container: deactivate the object");
}

}  // namespace qrv

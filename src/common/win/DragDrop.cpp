#include "common/win/DragDrop.h"

#include "common/win/KyClipBoardFormats.h"
#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/WaitCursor.h"

#include <vector>

namespace qrv {

using Microsoft::WRL::ComPtr;

namespace {

TDragDrop* gDragging = nullptr;

TFormatDesc DescOf(const FORMATETC& Format)
{
    return {Format.cfFormat, Format.ptd != nullptr, Format.dwAspect, Format.lindex, Format.tymed};
}

FORMATETC FormatEtcOf(const TFormatDesc& Desc)
{
    FORMATETC format{};
    format.cfFormat = static_cast<CLIPFORMAT>(Desc.Format);
    format.ptd = nullptr;
    format.dwAspect = Desc.Aspect;
    format.lindex = Desc.Index;
    format.tymed = Desc.Media;
    return format;
}

HRESULT ErrorOf(TFormatMatch Match)
{
    switch (Match) {
    case TFormatMatch::Found:
        return S_OK;
    case TFormatMatch::OtherMedium:
        return DV_E_TYMED;
    case TFormatMatch::OtherAspect:
        return DV_E_DVASPECT;
    case TFormatMatch::OtherIndex:
        return DV_E_LINDEX;
    case TFormatMatch::NoFormat:
        break;
    }
    return DV_E_FORMATETC;
}

const TDropMenuTexts& MenuTexts()
{
    static const TDropMenuTexts texts = DropMenuTextsFor(PRIMARYLANGID(GetSystemDefaultLangID()));
    return texts;
}

// The IUnknown of a COM object of one interface, counted from one and freed
// by its last Release (through the virtual destructor).
template <class Interface>
class TSingleInterfaceObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Object) override
    {
        if (Object == nullptr) {
            return E_POINTER;
        }
        if (Riid == IID_IUnknown || Riid == __uuidof(Interface)) {
            *Object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~TSingleInterfaceObject() = default;

private:
    LONG refs_ = 1;
};

class TEnumFormatEtcObject : public TSingleInterfaceObject<IEnumFORMATETC> {
public:
    explicit TEnumFormatEtcObject(TFormatEnumerator Enumerator) : enumerator_(std::move(Enumerator)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG Count, FORMATETC* Buffer, ULONG* Fetched) override
    {
        std::vector<TFormatDesc> taken;
        if (Buffer == nullptr || !enumerator_.Next(static_cast<long>(Count), Fetched != nullptr, taken)) {
            if (Fetched) {
                *Fetched = 0;
            }
            return S_FALSE;
        }
        for (size_t i = 0; i < taken.size(); ++i) {
            Buffer[i] = FormatEtcOf(taken[i]);
        }
        if (Fetched) {
            *Fetched = static_cast<ULONG>(taken.size());
        }
        return taken.size() == Count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override { return enumerator_.Skip(Count) ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        enumerator_.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** Clone) override
    {
        if (Clone == nullptr) {
            return E_POINTER;
        }
        *Clone = new TEnumFormatEtcObject(enumerator_.Clone());
        return S_OK;
    }

private:
    ~TEnumFormatEtcObject() override = default;
    TFormatEnumerator enumerator_;
};

}  // namespace

// The COM faces of the component: they live as long as the system holds
// them, and forget the component when it goes first.
class TDropTargetObject : public TSingleInterfaceObject<IDropTarget> {
public:
    explicit TDropTargetObject(TDragDrop* Owner) : owner_(Owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* Data, DWORD Keys, POINTL Point, DWORD* Effect) override
    {
        return Guard(Effect, [&](DWORD& effect) { owner_->TargetEnter(Data, Keys, {Point.x, Point.y}, effect); });
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD Keys, POINTL Point, DWORD* Effect) override
    {
        return Guard(Effect, [&](DWORD& effect) { owner_->TargetOver(Keys, {Point.x, Point.y}, effect); });
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        DWORD none = 0;
        return Guard(&none, [&](DWORD&) { owner_->TargetLeave(); });
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* Data, DWORD Keys, POINTL Point, DWORD* Effect) override
    {
        return Guard(Effect, [&](DWORD& effect) { owner_->TargetDrop(Data, Keys, {Point.x, Point.y}, effect); });
    }

private:
    ~TDropTargetObject() override = default;
    // No exception may cross the call: a failing stage drops nothing.
    template <class Stage>
    HRESULT Guard(DWORD* Effect, Stage stage)
    {
        if (Effect == nullptr) {
            return E_INVALIDARG;
        }
        if (owner_ == nullptr) {
            *Effect = DROPEFFECT_NONE;
            return S_OK;
        }
        try {
            stage(*Effect);
        } catch (...) {
            TraceIgnoredException(L"drop target");
            *Effect = DROPEFFECT_NONE;
        }
        return S_OK;
    }
    TDragDrop* owner_;
};

class TDropSourceObject : public TSingleInterfaceObject<IDropSource> {
public:
    explicit TDropSourceObject(TDragDrop* Owner) : owner_(Owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL Escape, DWORD Keys) override
    {
        try {
            return owner_ ? owner_->SourceContinue(Escape, Keys) : DRAGDROP_S_CANCEL;
        } catch (...) {
            TraceIgnoredException(L"drop source");
            return DRAGDROP_S_CANCEL;
        }
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override
    {
        try {
            return owner_ ? owner_->SourceFeedback(Effect) : DRAGDROP_S_USEDEFAULTCURSORS;
        } catch (...) {
            TraceIgnoredException(L"drop source feedback");
            return DRAGDROP_S_USEDEFAULTCURSORS;
        }
    }

private:
    ~TDropSourceObject() override = default;
    TDragDrop* owner_;
};

// ---- the system ---------------------------------------------------------

int TDragDropSystem::TrackMenu(HMENU Menu, POINT Screen, HWND Owner)
{
    return static_cast<int>(TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_NONOTIFY,
                                           Screen.x, Screen.y, 0, Owner, nullptr));
}

TDragDropSystem& DefaultDragDropSystem()
{
    static TDragDropSystem system;
    return system;
}

UINT DragDropProcessedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"DDM_ProcessDropped");
    return message;
}

// ---- TDataObject --------------------------------------------------------

TDataObject::TDataObject() = default;

HRESULT TDataObject::QueryInterface(REFIID Riid, void** Object)
{
    if (Object == nullptr) {
        return E_POINTER;
    }
    if (Riid == IID_IUnknown || Riid == IID_IDataObject) {
        *Object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
}

ULONG TDataObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG TDataObject::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT TDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium)
{
    if (Format == nullptr || Medium == nullptr) {
        return E_INVALIDARG;
    }
    *Medium = STGMEDIUM{};
    const TFormatLookUp found = FindFormat(formats_.Items(), DescOf(*Format), checks_);
    if (found.Match != TFormatMatch::Found) {
        return DV_E_FORMATETC;
    }
    try {
        const TWaitCursor hourglass;
        return RenderData(*Format, *Medium);
    } catch (...) {
        TraceIgnoredException(L"TDataObject::RenderData");
        *Medium = STGMEDIUM{};
        return E_FAIL;
    }
}

HRESULT TDataObject::QueryGetData(FORMATETC* Format)
{
    if (Format == nullptr) {
        return E_INVALIDARG;
    }
    return ErrorOf(FindFormat(formats_.Items(), DescOf(*Format), checks_).Match);
}

HRESULT TDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out)
{
    if (Out) {
        Out->ptd = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT TDataObject::SetData(FORMATETC* Format, STGMEDIUM*, BOOL)
{
    if (Format != nullptr) {
        formats_.Put(DescOf(*Format));
    }
    return E_NOTIMPL;
}

HRESULT TDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum)
{
    if (Enum == nullptr) {
        return E_POINTER;
    }
    *Enum = nullptr;
    if (Direction != DATADIR_GET) {
        return OLE_S_USEREG;
    }
    *Enum = new TEnumFormatEtcObject(TFormatEnumerator(formats_.Items()));
    return S_OK;
}

void TDataObject::Offer(UINT Format)
{
    formats_.Put({Format, false, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

HRESULT TDataObject::RenderData(const FORMATETC&, STGMEDIUM&)
{
    return DV_E_FORMATETC;
}

// ---- TDragDrop ----------------------------------------------------------

TDragDrop* TDragDrop::Dragging()
{
    return gDragging;
}

TDragDrop::TDragDrop(TComponent* Owner) : TComponent(Owner), system_(&DefaultDragDropSystem())
{
    dropTarget_.Attach(new TDropTargetObject(this));
    dropSource_.Attach(new TDropSourceObject(this));
}

TDragDrop::~TDragDrop()
{
    RevokeTarget();
    if (control_ != nullptr && listener_ != 0) {
        control_->RemoveMessageListener(listener_);
    }
    static_cast<TDropTargetObject*>(dropTarget_.Get())->Detach();
    static_cast<TDropSourceObject*>(dropSource_.Get())->Detach();
    if (gDragging == this) {
        gDragging = nullptr;
    }
}

HWND TDragDrop::ControlWindow() const
{
    return control_ != nullptr && control_->HandleAllocated() ? control_->Handle() : nullptr;
}

void TDragDrop::SetDragDropControl(TWinControl* Control)
{
    if (Control == control_) {
        return;
    }
    if (control_ != nullptr) {
        RevokeTarget();
        if (listener_ != 0) {
            control_->RemoveMessageListener(listener_);
        }
        listener_ = 0;
    }
    control_ = Control;
    if (control_ != nullptr) {
        // With a window, its destruction is heard and the target revoked; a
        // control not placed yet registers with its window's first message.
        if (control_->Parent() != nullptr) {
            control_->HandleNeeded();
        }
        listener_ = control_->AddMessageListener([this](TMessage& message) { return Listen(message); });
        if (targetEffects_ != 0 && !RegisterTarget()) {
            TraceIgnoredFailure(L"RegisterDragDrop");
        }
    }
}

void TDragDrop::SetSourceEffects(uint32_t Effects)
{
    sourceEffects_ = Effects & kDropEffectsAll;
}

void TDragDrop::SetTargetEffects(uint32_t Effects)
{
    targetEffects_ = Effects & kDropEffectsAll;
    if (targetEffects_ == 0) {
        RevokeTarget();
    } else if (control_ != nullptr && !RegisterTarget()) {
        TraceIgnoredFailure(L"RegisterDragDrop");
    }
}

bool TDragDrop::RegisterTarget()
{
    wantRegistered_ = targetEffects_ != 0;
    if (registered_) {
        return true;
    }
    const HWND window = ControlWindow();
    if (window == nullptr || targetEffects_ == 0) {
        return false;
    }
    if (FAILED(CoLockObjectExternal(dropTarget_.Get(), TRUE, FALSE))) {
        return false;
    }
    const HRESULT hr = System().RegisterTarget(window, dropTarget_.Get());
    if (FAILED(hr)) {
        (void)CoLockObjectExternal(dropTarget_.Get(), FALSE, TRUE);
        return false;
    }
    registered_ = true;
    return true;
}

void TDragDrop::RevokeTarget()
{
    wantRegistered_ = false;
    if (!registered_) {
        return;
    }
    registered_ = false;
    if (const HWND window = ControlWindow(); window != nullptr && FAILED(System().RevokeTarget(window))) {
        TraceIgnoredFailure(L"RevokeDragDrop");
    }
    (void)CoLockObjectExternal(dropTarget_.Get(), FALSE, TRUE);
}

bool TDragDrop::Listen(TMessage& Message)
{
    if (Message.Msg == DragDropProcessedMessage()) {
        ProcessDropped();
        Message.Result = 0;
        return true;
    }
    if (control_ == nullptr) {
        return false;  // the control is going; its last messages are no concern
    }
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (AutoDetectDnD && status_ == ddsNone && sourceEffects_ != 0) {
            DoDragDetect(Message.Msg == WM_LBUTTONDOWN ? 0 : 1);
        }
        break;
    case WM_HSCROLL:
        scrollingHorz_ = LOWORD(Message.WParam) != SB_ENDSCROLL;
        break;
    case WM_VSCROLL:
        scrollingVert_ = LOWORD(Message.WParam) != SB_ENDSCROLL;
        break;
    case WM_DESTROY: {
        // The window goes: the system forgets it; a new window of the same
        // control registers again with its first message.
        const bool want = wantRegistered_;
        RevokeTarget();
        wantRegistered_ = want;
        if (control_->Destroying()) {
            control_ = nullptr;
            listener_ = 0;
            wantRegistered_ = false;
        }
        break;
    }
    case WM_NCDESTROY:
        break;
    default:
        if (wantRegistered_ && !registered_ && control_->HandleAllocated() && !RegisterTarget()) {
            wantRegistered_ = false;  // asked once, not at every message
            TraceIgnoredFailure(L"RegisterDragDrop again");
        }
        break;
    }
    return false;
}

DWORD TDragDrop::ShiftControlKeys()
{
    DWORD keys = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        keys |= MK_SHIFT;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        keys |= MK_CONTROL;
    }
    return keys;
}

POINT TDragDrop::ClientPoint(POINT Screen) const
{
    POINT point = Screen;
    if (const HWND window = ControlWindow(); window != nullptr) {
        ScreenToClient(window, &point);
    }
    return point;
}

void TDragDrop::DoDragDetect(int Button)
{
    if (Button != 0 && Button != 1) {
        status_ = ddsNone;
        return;
    }
    status_ = Button == 0 ? ddsLeft : ddsRight;
    GetCursorPos(&detectStart_);
    if (OnDragDetect) {
        const POINT start = ClientPoint(detectStart_);
        OnDragDetect(this, ShiftControlKeys(), start, start, status_);
    }
}

TDragResult TDragDrop::Execute()
{
    if (gDragging != nullptr || sourceEffects_ == 0) {
        return drInvalid;
    }
    const TDataObjectPtr data = CreateDataObject();
    if (!data) {
        return drInvalid;
    }
    if (auto* own = dynamic_cast<TDataObject*>(data.Get())) {
        own->SetChecks(SourceCompatibility);
    }
    status_ = ddsDrag;
    gDragging = this;
    ownDragRunning_ = true;
    ScopeExit finish([this] {
        gDragging = nullptr;
        ownDragRunning_ = false;
        status_ = ddsNone;
        if (OnDragDetect) {
            POINT now{};
            GetCursorPos(&now);
            OnDragDetect(this, ShiftControlKeys(), ClientPoint(detectStart_), ClientPoint(now), ddsNone);
        }
    });
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = System().DoDragDrop(data.Get(), dropSource_.Get(), sourceEffects_, &effect);
    if (hr == DRAGDROP_S_DROP) {
        return DragResultFor(true, effect, true);
    }
    return hr == DRAGDROP_S_CANCEL ? drCancel : drInvalid;
}

HRESULT TDragDrop::SourceContinue(BOOL Escape, DWORD Keys)
{
    HRESULT result = S_OK;
    switch (ContinueDragFor(Escape != FALSE, Keys)) {
    case TContinueDrag::Cancel:
        ownDragRunning_ = false;
        result = DRAGDROP_S_CANCEL;
        break;
    case TContinueDrag::Drop:
        result = DRAGDROP_S_DROP;
        break;
    case TContinueDrag::Continue:
        break;
    }
    if (OnQueryContinueDrag) {
        OnQueryContinueDrag(this, Escape, Keys, result);
    }
    return result;
}

HRESULT TDragDrop::SourceFeedback(DWORD Effect)
{
    HRESULT result = DRAGDROP_S_USEDEFAULTCURSORS;
    if (OnGiveFeedback) {
        OnGiveFeedback(this, Effect, result);
    }
    const bool scrolling = (Effect & DROPEFFECT_SCROLL) != 0;
    HCURSOR cursor = nullptr;
    switch (Effect & kDropEffectsAll) {
    case deCopy:
        cursor = scrolling ? Cursors.ScrollCopy : Cursors.Copy;
        break;
    case deMove:
        cursor = scrolling ? Cursors.ScrollMove : Cursors.Move;
        break;
    case deLink:
        cursor = scrolling ? Cursors.ScrollLink : Cursors.Link;
        break;
    default:
        break;
    }
    if (cursor != nullptr) {
        SetCursor(cursor);
        return S_OK;
    }
    return result;
}

uint32_t TDragDrop::GetEffect(DWORD Keys)
{
    TEffectQuery query;
    query.Keys = Keys;
    query.TargetEffects = targetEffects_;
    query.SourceEffects = offeredEffects_;
    query.Accepted = accepted_;
    query.OwnDrag = dragSource_ == this;
    query.AcceptOwnDrag = AcceptOwnDnD;
    query.Scrolling = scrollingHorz_ || scrollingVert_;
    return DropEffectFor(query);
}

void TDragDrop::TargetEnter(IDataObject* Data, DWORD Keys, POINT Screen, DWORD& Effect)
{
    dragSource_ = gDragging;
    offeredEffects_ = Effect;
    rightDrag_ = (Keys & MK_RBUTTON) != 0;
    const POINT point = ClientPoint(Screen);
    if (ReadsDataAtEnter(RenderDataOn)) {
        const TWaitCursor hourglass;
        DWORD effect = Effect;
        processingEnter_ = true;
        const ScopeExit entered([this] { processingEnter_ = false; });
        ProcessData(Data, Keys, effect, point);
    }
    accepted_ = AcceptDataObject(Data);
    Effect = GetEffect(Keys);
    bool accept = accepted_;
    if (OnDragEnter) {
        OnDragEnter(this, Data, Keys, point, Effect, accept);
    }
    accepted_ = accept;
    if (!accepted_ || (dragSource_ == this && !AcceptOwnDnD)) {
        Effect = DROPEFFECT_NONE;
    }
}

void TDragDrop::TargetOver(DWORD Keys, POINT Screen, DWORD& Effect)
{
    Effect = GetEffect(Keys);
    if (OnDragOver) {
        OnDragOver(this, Keys, ClientPoint(Screen), Effect);
    }
}

void TDragDrop::TargetLeave()
{
    if (OnDragLeave) {
        OnDragLeave(this);
    }
    ForgetDrag();
}

void TDragDrop::TargetDrop(IDataObject* Data, DWORD Keys, POINT Screen, DWORD& Effect)
{
    // The button is up by now: the key state gets it back.
    Keys |= rightDrag_ ? MK_RBUTTON : MK_LBUTTON;
    const POINT point = ClientPoint(Screen);
    DWORD effect = GetEffect(Keys);
    if (OnDragOver) {
        OnDragOver(this, Keys, point, effect);
    }
    if (DropHandler(Data, Keys, effect, Screen)) {
        if (OnDropHandlerSucceeded) {
            OnDropHandlerSucceeded(this);
        }
        Effect = effect & kDropEffectsAll;
        ForgetDrag();
        return;
    }
    if (rightDrag_ && TargetPopupMenu && (effect & kDropEffectsAll) != 0) {
        effect = RightDragMenu(Data, Keys, Screen, effect);
    }
    if (OnDrop) {
        OnDrop(this, Data, Keys, point, effect);
    }
    if ((effect & kDropEffectsAll) == 0) {
        Effect = DROPEFFECT_NONE;
        ForgetDrag();
        return;
    }
    const HWND window = ControlWindow();
    if (BringToFront && window != nullptr) {
        SetForegroundWindow(GetAncestor(window, GA_ROOT));
    }
    droppedKeys_ = Keys;
    droppedEffect_ = effect & kDropEffectsAll;
    droppedPoint_ = point;
    droppedData_.Reset();
    if (ReadsDataAfterDrop(RenderDataOn)) {
        droppedData_ = Data;
    } else if (ReadsDataAtDrop(RenderDataOn)) {
        const TWaitCursor hourglass;
        ProcessData(Data, Keys, droppedEffect_, point);
    }
    if (window == nullptr || !PostMessageW(window, DragDropProcessedMessage(), 0, 0)) {
        TraceIgnoredFailure(L"PostMessage DDM_ProcessDropped", GetLastError());
        droppedData_.Reset();
    }
    Effect = droppedEffect_;
}

uint32_t TDragDrop::RightDragMenu(IDataObject* Data, DWORD Keys, POINT Screen, uint32_t Effect)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return DROPEFFECT_NONE;
    }
    ScopeExit destroy([menu] { DestroyMenu(menu); });
    for (const TDropMenuItem& item : BuildDropMenu(targetEffects_, offeredEffects_, Effect, MenuTexts())) {
        if (item.Id == kDropMenuSeparator) {
            AppendMenuW(menu, MF_SEPARATOR, kDropMenuSeparator, nullptr);
            continue;
        }
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.Id), item.Text.c_str());
        if (item.Default) {
            SetMenuDefaultItem(menu, static_cast<UINT>(item.Id), FALSE);
        }
    }
    const POINT point = ClientPoint(Screen);
    DoMenuPopup(menu, Data, kDropMenuFirstCustom, Keys, point);
    const int chosen = System().TrackMenu(menu, Screen, ControlWindow());
    uint32_t result = EffectOfDropMenuChoice(chosen);
    if (chosen > kDropMenuSeparator) {
        if (DoMenuExecCmd(menu, Data, chosen) && OnMenuSucceeded) {
            OnMenuSucceeded(this);
        }
        result = DROPEFFECT_NONE;
    }
    DoMenuDestroy(menu);
    return result;
}

void TDragDrop::DoMenuPopup(HMENU Menu, IDataObject* Data, int FirstFreeId, DWORD Keys, POINT Point)
{
    if (OnMenuPopup) {
        OnMenuPopup(this, Menu, Data, FirstFreeId, Keys, Point);
    }
}

bool TDragDrop::DoMenuExecCmd(HMENU Menu, IDataObject* Data, int Command)
{
    bool succeeded = false;
    if (OnMenuExecCmd) {
        OnMenuExecCmd(this, Menu, Data, Command, succeeded);
    }
    return succeeded;
}

void TDragDrop::DoMenuDestroy(HMENU Menu)
{
    if (OnMenuDestroy) {
        OnMenuDestroy(this, Menu);
    }
}

void TDragDrop::ProcessDropped()
{
    if (droppedData_) {
        const TDataObjectPtr data = std::move(droppedData_);
        const TWaitCursor hourglass;
        ProcessData(data.Get(), droppedKeys_, droppedEffect_, droppedPoint_);
    }
    if (OnProcessDropped) {
        OnProcessDropped(this, droppedKeys_, droppedPoint_, droppedEffect_);
    }
    ForgetDrag();
}

void TDragDrop::ForgetDrag()
{
    dragSource_ = nullptr;
    offeredEffects_ = 0;
    rightDrag_ = false;
}

bool TDragDrop::CopyToClipboard()
{
    const TDataObjectPtr data = CreateDataObject();
    if (!data) {
        return false;
    }
    if (auto* own = dynamic_cast<TDataObject*>(data.Get())) {
        own->SetChecks(SourceCompatibility);
    }
    return SUCCEEDED(System().SetClipboard(data.Get()));
}

bool TDragDrop::PasteFromClipboard(uint32_t& Effect)
{
    Effect = deCopy;
    TDataObjectPtr data;
    if (FAILED(System().GetClipboard(&data)) || !data) {
        return false;
    }
    FORMATETC format{static_cast<CLIPFORMAT>(CFPreferredDropEffect), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(&format, &medium))) {
        ScopeExit release([&] { ReleaseStgMedium(&medium); });
        if (medium.tymed == TYMED_HGLOBAL) {
            const SIZE_T size = GlobalSize(medium.hGlobal);
            if (const auto* bytes = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal))) {
                Effect = PasteEffect(ParsePreferredDropEffect(bytes, size));
                GlobalUnlock(medium.hGlobal);
            }
        }
    }
    const TWaitCursor hourglass;
    DWORD effect = Effect;
    ProcessData(data.Get(), 0, effect, POINT{});
    Effect = effect;
    return true;
}

}  // namespace qrv

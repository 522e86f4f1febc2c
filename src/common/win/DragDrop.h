#pragma once
// OLE drag and drop for any windowed control: TDragDrop registers the
// control as drop target, watches its messages for the start of a drag and
// for the deferred reading of a drop, runs the system's drag loop with a data
// object that a descendant makes (CreateDataObject), computes the effects
// from the keys, offers the right-drag menu, puts data on the OLE clipboard
// and hands every stage to events. One drag runs at a time in the process.

#include "common/DragDropRules.h"
#include "framework/Component.h"
#include "framework/win/Controls.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <memory>
#include <string>

#include <oleidl.h>
#include <wrl/client.h>

namespace qrv {

using TDataObjectPtr = Microsoft::WRL::ComPtr<IDataObject>;

// The system calls behind drag and drop, the OLE clipboard and the
// right-drag menu; tests replace them.
class TDragDropSystem {
public:
    virtual ~TDragDropSystem() = default;
    virtual HRESULT RegisterTarget(HWND Window, IDropTarget* Target) { return RegisterDragDrop(Window, Target); }
    virtual HRESULT RevokeTarget(HWND Window) { return RevokeDragDrop(Window); }
    virtual HRESULT DoDragDrop(IDataObject* Data, IDropSource* Source, DWORD OkEffects, DWORD* Effect)
    {
        return ::DoDragDrop(Data, Source, OkEffects, Effect);
    }
    virtual HRESULT SetClipboard(IDataObject* Data) { return OleSetClipboard(Data); }
    virtual HRESULT GetClipboard(IDataObject** Data) { return OleGetClipboard(Data); }
    // The chosen command of the menu tracked at Screen, 0 for none.
    virtual int TrackMenu(HMENU Menu, POINT Screen, HWND Owner);
};
TDragDropSystem& DefaultDragDropSystem();

// The data object: the formats it offers, rendered on request by RenderData.
class TDataObject : public IDataObject {
public:
    TDataObject();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) override;
    // Records the descriptor as offered (replacing one of the same format)
    // and reports failure: no data is taken.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* Format, STGMEDIUM* Medium, BOOL Release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // The TSourceCompatibility checks applied to requests.
    void SetChecks(uint32_t Checks) { checks_ = Checks; }
    const TFormatList& Formats() const { return formats_; }

protected:
    virtual ~TDataObject() = default;
    // Offers Format in global memory (content, all items).
    void Offer(UINT Format);
    // Renders the offered entry Offered for Request into Medium.
    virtual HRESULT RenderData(const FORMATETC& Request, STGMEDIUM& Medium);

private:
    LONG refs_ = 1;
    TFormatList formats_;
    uint32_t checks_ = CheckLindex | CheckdwAspect;
};

class TDragDrop;

// The drag cursors; nil ones leave the system's defaults.
struct TDragCursors {
    HCURSOR Copy = nullptr, Move = nullptr, Link = nullptr;
    HCURSOR ScrollCopy = nullptr, ScrollMove = nullptr, ScrollLink = nullptr;
};

class TDragDrop : public TComponent {
public:
    explicit TDragDrop(TComponent* Owner);
    ~TDragDrop() override;

    TWinControl* DragDropControl() const { return control_; }
    // Leaves the old control and registers on the new one. The component
    // hears of the control's end through its window: a control that never
    // gets a window must outlive the component.
    void SetDragDropControl(TWinControl* Control);

    bool AcceptOwnDnD = false;
    bool AutoDetectDnD = false;
    bool BringToFront = false;
    int DragDetectDelta = 10;
    bool TargetPopupMenu = true;
    TRenderDataOn RenderDataOn = rdoDropSync;
    uint32_t SourceCompatibility = CheckLindex | CheckdwAspect;
    TDragCursors Cursors;

    uint32_t SourceEffects() const { return sourceEffects_; }
    uint32_t TargetEffects() const { return targetEffects_; }
    // A non-empty set watches the control's messages; target effects
    // register it as drop target, an empty set revokes it.
    void SetSourceEffects(uint32_t Effects);
    void SetTargetEffects(uint32_t Effects);
    TDragDetectStatus DragDetectStatus() const { return status_; }
    // The effects the source of the drag over the control allows.
    uint32_t OfferedEffects() const { return offeredEffects_; }

    [[nodiscard]] bool RegisterTarget();
    void RevokeTarget();
    bool Registered() const { return registered_; }

    // Runs the drag loop with the data object of CreateDataObject.
    TDragResult Execute();
    // Puts the data object of CreateDataObject on the OLE clipboard.
    [[nodiscard]] bool CopyToClipboard();
    // Reads the clipboard's data object as a drop; Effect becomes the paste
    // effect of its "Preferred DropEffect" (copy when there is none).
    [[nodiscard]] bool PasteFromClipboard(uint32_t& Effect);
    // 0 left, 1 right: a possible drag starts at the cursor; other: none.
    virtual void DoDragDetect(int Button);

    // The drop target the system calls (tests call it directly).
    IDropTarget* DropTarget() { return dropTarget_.Get(); }
    void SetSystem(TDragDropSystem& System) { system_ = &System; }
    // The component running a drag in this process, or nil.
    static TDragDrop* Dragging();

    // Events (Sender is this component; points are client coordinates of
    // the control, except where named screen points).
    std::function<void(TDragDrop* Sender, DWORD Keys, POINT Start, POINT Current, TDragDetectStatus Status)>
        OnDragDetect;
    std::function<void(TDragDrop* Sender, IDataObject* Data, DWORD Keys, POINT Point, DWORD& Effect, bool& Accept)>
        OnDragEnter;
    std::function<void(TDragDrop* Sender)> OnDragLeave;
    std::function<void(TDragDrop* Sender, DWORD Keys, POINT Point, DWORD& Effect)> OnDragOver;
    std::function<void(TDragDrop* Sender, IDataObject* Data, DWORD Keys, POINT Point, DWORD& Effect)> OnDrop;
    std::function<void(TDragDrop* Sender, BOOL Escape, DWORD Keys, HRESULT& Result)> OnQueryContinueDrag;
    std::function<void(TDragDrop* Sender, DWORD Effect, HRESULT& Result)> OnGiveFeedback;
    std::function<void(TDragDrop* Sender, DWORD Keys, POINT Point, DWORD Effect)> OnProcessDropped;
    std::function<void(TDragDrop* Sender, HMENU Menu, IDataObject* Data, int FirstFreeId, DWORD Keys, POINT Point)>
        OnMenuPopup;
    std::function<void(TDragDrop* Sender, HMENU Menu, IDataObject* Data, int Command, bool& Succeeded)> OnMenuExecCmd;
    std::function<void(TDragDrop* Sender, HMENU Menu)> OnMenuDestroy;
    std::function<void(TDragDrop* Sender)> OnMenuSucceeded;
    std::function<void(TDragDrop* Sender)> OnDropHandlerSucceeded;

protected:
    // What is dragged; nil drags nothing.
    virtual TDataObjectPtr CreateDataObject() = 0;
    virtual void DoMenuPopup(HMENU Menu, IDataObject* Data, int FirstFreeId, DWORD Keys, POINT Point);
    virtual bool DoMenuExecCmd(HMENU Menu, IDataObject* Data, int Command);
    virtual void DoMenuDestroy(HMENU Menu);
    // A descendant may take the whole drop (Screen: the drop point).
    virtual bool DropHandler(IDataObject* /*Data*/, DWORD /*Keys*/, DWORD& /*Effect*/, POINT /*Screen*/)
    {
        return false;
    }
    virtual uint32_t GetEffect(DWORD Keys);
    virtual bool AcceptDataObject(IDataObject* /*Data*/) { return true; }
    // Reads the dropped data.
    virtual void ProcessData(IDataObject* /*Data*/, DWORD /*Keys*/, DWORD& /*Effect*/, POINT /*Point*/) {}
    // True while ProcessData reads the data as the drag enters, not at a
    // drop or a paste.
    bool ProcessingEnter() const { return processingEnter_; }

    HWND ControlWindow() const;
    POINT ClientPoint(POINT Screen) const;
    TDragDropSystem& System() { return *system_; }

private:
    friend class TDropTargetObject;
    friend class TDropSourceObject;

    // The drop target's stages (screen points), exceptions caught by the caller.
    void TargetEnter(IDataObject* Data, DWORD Keys, POINT Screen, DWORD& Effect);
    void TargetOver(DWORD Keys, POINT Screen, DWORD& Effect);
    void TargetLeave();
    void TargetDrop(IDataObject* Data, DWORD Keys, POINT Screen, DWORD& Effect);
    uint32_t RightDragMenu(IDataObject* Data, DWORD Keys, POINT Screen, uint32_t Effect);
    HRESULT SourceContinue(BOOL Escape, DWORD Keys);
    HRESULT SourceFeedback(DWORD Effect);

    bool Listen(TMessage& Message);
    void ProcessDropped();
    void ForgetDrag();
    static DWORD ShiftControlKeys();

    TWinControl* control_ = nullptr;
    bool processingEnter_ = false;
    int listener_ = 0;
    bool registered_ = false;
    bool wantRegistered_ = false;
    uint32_t sourceEffects_ = 0;
    uint32_t targetEffects_ = 0;
    TDragDetectStatus status_ = ddsNone;
    POINT detectStart_{};
    TDragDropSystem* system_;
    Microsoft::WRL::ComPtr<IDropTarget> dropTarget_;
    Microsoft::WRL::ComPtr<IDropSource> dropSource_;

    // The drag in progress over the control.
    TDragDrop* dragSource_ = nullptr;
    DWORD offeredEffects_ = 0;
    bool rightDrag_ = false;
    bool accepted_ = false;
    bool scrollingHorz_ = false;
    bool scrollingVert_ = false;
    bool ownDragRunning_ = false;
    // The drop waiting for the posted message.
    TDataObjectPtr droppedData_;
    DWORD droppedKeys_ = 0;
    DWORD droppedEffect_ = 0;
    POINT droppedPoint_{};
};

// The registered message that reads a drop after the drop call has returned.
UINT DragDropProcessedMessage();

}  // namespace qrv

#pragma once
// TKyOLEContainer: the display pane's container for a document of another
// application, embedded through the system's OLE: the object is made from a
// file (or the stored "Data"), kept in a compound file in memory, drawn by the
// system, activated in place or in its own window by its verbs, and saved as
// a compound document. TKyOLEForm is the in-place frame of a form that holds
// containers (one per form).

#include "framework/Streams.h"
#include "framework/win/Controls.h"
#include "framework/win/Menus.h"
#include "viewers/OleContainerRules.h"
#include "viewers/win/OleContainerSite.h"
#include "viewers/win/OleInPlaceFrame.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <wrl/client.h>

namespace qrv {

class TForm;
class TKyOLEContainer;

enum class TAutoActivate { aaManual, aaGetFocus, aaDoubleClick };
enum class TOleBorderStyle { bsNone, bsSingle };

// The in-place frame of one form: the containers on it, its window, the
// object active in place in one of them. Owned by the form (made by the first
// container that needs it); when the form goes it frees every container's
// object first.
class TKyOLEForm : public TComponent, private TOleFrameHost {
public:
    // The form's frame, made when it has none yet.
    static TKyOLEForm* ForForm(TForm& form);
    ~TKyOLEForm() override;

    HWND WindowHandle();
    IOleInPlaceFrame* Frame() { return frame_; }
    void AddContainer(TKyOLEContainer* container);
    void RemoveContainer(TKyOLEContainer* container);
    int ContainerCount() const { return static_cast<int>(containers_.size()); }
    // The container whose object is active with its user interface.
    TKyOLEContainer* ActiveOleControl() const { return activeControl_; }
    void SetActiveOleControl(TKyOLEContainer* container);

private:
    explicit TKyOLEForm(TForm& form);
    HWND FrameWindow() override;
    void FrameActiveObjectChanged(IOleInPlaceActiveObject* object) override;
    bool FrameTranslateAccelerator(const MSG& message) override;
    void FrameFailed(std::exception_ptr error) override;
    void FormResized();

    TForm& form_;
    TOleInPlaceFrame* frame_;
    std::vector<TKyOLEContainer*> containers_;
    TKyOLEContainer* activeControl_ = nullptr;
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> activeObject_;
    int sizeListener_ = 0;
};

class TKyOLEContainer : public TCustomControl, private TOleSiteHost {
public:
    explicit TKyOLEContainer(TComponent* owner);
    ~TKyOLEContainer() override;

    // The object state: osEmpty, osLoaded, osRunning, osOpen, osUIActive.
    int GetState();
    // Embeds an object made from the file by the class the system finds for it.
    void CreateObjectFromFile(const std::wstring& fileName, bool iconic);
    // The other kinds of creation: a new object of a class, a link to a
    // file, an object or a link made of a data object (the clipboard's, a drop's).
    void CreateObject(const CLSID& classId, bool iconic);
    void CreateLinkToFile(const std::wstring& fileName, bool iconic);
    void CreateObjectFromData(IDataObject* data, bool iconic);
    void CreateLinkFromData(IDataObject* data, bool iconic);
    // Runs a verb: ovPrimary, an index above 0 into the verb list, or a
    // system verb (ovInPlaceActivate, ovOpen ...). Raises on an empty container.
    int DoVerb(int verb);
    // Closes the object without saving; raises on an empty container.
    void Close();
    // Ends the object's activity and frees it; nothing happens on an empty container.
    void DestroyObject();
    // Saves the object as a compound file; the old file stays when that fails.
    void SaveAsDocument(const std::wstring& fileName);
    // The stored "Data": a 12-byte header and the object's compound file.
    void SaveToStream(TStream& stream);
    void LoadFromStream(TStream& stream);

    // The object's verbs (captions as the object gives them), read on first use.
    const std::vector<std::wstring>& ObjectVerbs();
    // The verb menu (nullptr without verbs or AutoVerbMenu).
    TPopupMenu* VerbMenu();

    bool Iconic() const { return aspect_ == DVASPECT_ICON; }
    void SetIconic(bool iconic);
    TSizeMode SizeMode() const { return sizeMode_; }
    void SetSizeMode(TSizeMode mode);
    TOleBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TOleBorderStyle style);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // The object's size in pixels.
    TOleSize ObjectExtent() const { return extentPixels_; }
    IOleObject* OleObject() const { return object_.Get(); }

    bool AllowInPlace = true;
    bool AllowActiveDoc = true;
    TAutoActivate AutoActivate = TAutoActivate::aaDoubleClick;
    bool AutoVerbMenu = true;
    bool CopyOnSave = true;
    bool OldStreamFormat = false;

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDataChanged;
    std::function<void(TComponent* Sender, const RECT& bounds)> OnObjectMove;
    TNotifyEvent OnShowObject;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    friend class TKyOLEForm;
    using TStoragePtr = Microsoft::WRL::ComPtr<IStorage>;
    using TLockBytesPtr = Microsoft::WRL::ComPtr<ILockBytes>;

    void CheckObject() const;
    void NewStorage();
    // Makes the object by make(site, storage) and sets it up; any failure
    // frees the half-made object and is passed on.
    // The object is kept in the storage given, or in a new one.
    template <class Make>
    void MakeObject(Make make, DWORD aspect, bool iconic, TLockBytesPtr bytes = {}, TStoragePtr storage = {});
    void InitObject();
    void ApplyIconic(bool iconic);
    void UpdateExtent();
    void AdjustAutoSize();
    void SavePendingChanges();
    void ReleaseObject();
    void FreeVerbs();
    void FreeAccelerators();
    RECT ObjectRect();
    void RunEvent(const TNotifyEvent& event);
    void PaintIcon(HDC dc, const RECT& rect);
    void RaisePending();
    TKyOLEForm* FormFrame();

    // TOleSiteHost
    HRESULT SiteSaveObject() override;
    void SiteShowObject() override;
    void SiteShowWindow(bool shown) override;
    void SiteChanged(bool viewOnly) override;
    void SiteClosed() override;
    HWND SiteWindow() override;
    bool SiteCanInPlaceActivate() override;
    void SiteInPlaceActivated() override;
    void SiteUIActivated() override;
    void SiteWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT& position, RECT& clip,
                           OLEINPLACEFRAMEINFO& frameInfo) override;
    void SiteUIDeactivated() override;
    void SiteInPlaceDeactivated() override;
    void SitePositionChanged(const RECT& position) override;
    void SiteDeactivateRequested() override;
    void SiteFailed(std::exception_ptr error) override;

    TOleContainerSite* site_ = nullptr;
    Microsoft::WRL::ComPtr<IOleObject> object_;
    Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlaceObject_;
    Microsoft::WRL::ComPtr<IViewObject> viewObject_;
    TLockBytesPtr lockBytes_;
    TStoragePtr storage_;
    DWORD adviseConnection_ = 0;
    DWORD aspect_ = DVASPECT_CONTENT;
    SIZEL extentHimetric_{0, 0};
    TOleSize extentPixels_;
    // The class's icon, drawn when the object does not draw its icon aspect.
    TIconHandle classIcon_;
    bool open_ = false;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool focused_ = false;
    bool modified_ = false;
    bool dataChanged_ = false;
    bool verbsRead_ = false;
    std::vector<std::wstring> verbCaptions_;
    std::vector<int> verbNumbers_;
    std::unique_ptr<TPopupMenu> verbMenu_;
    HACCEL accelerators_ = nullptr;
    int acceleratorCount_ = 0;
    TKyOLEForm* formFrame_ = nullptr;
    TSizeMode sizeMode_ = TSizeMode::smClip;
    TOleBorderStyle borderStyle_ = TOleBorderStyle::bsSingle;
    std::vector<std::exception_ptr> pending_;
};

// The clipboard formats the container registers at start.
struct TOleContainerFormats {
    CLIPFORMAT ObjectDescriptor;
    CLIPFORMAT EmbeddedObject;
    CLIPFORMAT LinkSource;
    FORMATETC EmbeddedObjectFormat;    // embedded object in storage, content aspect
    FORMATETC ObjectDescriptorFormat;  // object descriptor in global memory, content aspect
};
const TOleContainerFormats& OleContainerFormats();

}  // namespace qrv

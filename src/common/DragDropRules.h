#pragma once
// The rules of OLE drag and drop that need no window: which effect a drop
// gets from the keys and the effects both sides allow, whether the drag goes
// on, what a finished drag reports, which offered format answers a request
// (and the nearest miss when none does), the format enumerator, and the
// right-drag menu. Portable; the values are those of the system (the
// DROPEFFECT_, MK_, DVASPECT_ and TYMED_ constants).

#include "common/DropFilesBlock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

constexpr uint32_t kDropEffectScroll = 0x80000000u;
constexpr uint32_t kDropEffectsAll = deCopy | deMove | deLink;

// The key state of a drag (MK_ values).
enum TDragKeys : uint32_t {
    dkLeftButton = 0x01,
    dkRightButton = 0x02,
    dkShift = 0x04,
    dkControl = 0x08,
    dkMiddleButton = 0x10,
    dkAlt = 0x20,
};

enum TDragResult { drInvalid, drCopy, drMove, drLink, drCancel };
enum TDragDetectStatus { ddsNone, ddsLeft, ddsRight, ddsCancelled, ddsDrag };
// When the data of a drop is read: at the enter, at the drop within the drop
// call, or at the drop but after the call has returned to the source.
enum TRenderDataOn { rdoEnter, rdoEnterAndDropSync, rdoEnterAndDropAsync, rdoDropSync, rdoDropAsync, rdoNever };

// The data object's checks of a request (bits).
enum TSourceCompatibility : uint32_t {
    CheckLindex = 1,
    CheckdwAspect = 2,
};

bool ReadsDataAtEnter(TRenderDataOn Mode);
bool ReadsDataAtDrop(TRenderDataOn Mode);
bool ReadsDataAfterDrop(TRenderDataOn Mode);

struct TEffectQuery {
    uint32_t Keys = 0;
    uint32_t TargetEffects = 0;  // what the target accepts
    uint32_t SourceEffects = 0;  // what the source offers
    bool Accepted = false;       // the target takes the data
    bool OwnDrag = false;        // the drag started from the same component
    bool AcceptOwnDrag = false;
    bool Scrolling = false;
};

// Shift alone moves, Ctrl+Shift links, otherwise the first of copy, move and
// link that both sides allow; an effect the source does not offer is never
// chosen. None for data not accepted and for an own drag not accepted.
uint32_t DropEffectFor(const TEffectQuery& Query);

enum class TContinueDrag { Continue, Drop, Cancel };
// Escape or both buttons down cancel, one button down goes on, none drops.
TContinueDrag ContinueDragFor(bool EscapePressed, uint32_t Keys);

// A drop that ended with no effect is an optimised move on NT-family systems
// (the target moved the files itself): the source must not delete anything.
TDragResult DragResultFor(bool Dropped, uint32_t Effect, bool NtFamily);

// One format descriptor (FORMATETC without the device itself).
struct TFormatDesc {
    uint32_t Format = 0;
    bool HasTargetDevice = false;
    uint32_t Aspect = 1;  // DVASPECT_CONTENT
    int32_t Index = -1;   // all
    uint32_t Media = 0;   // TYMED_ bits
    bool operator==(const TFormatDesc&) const = default;
};

enum class TFormatMatch { Found, NoFormat, OtherMedium, OtherAspect, OtherIndex };
struct TFormatLookUp {
    TFormatMatch Match = TFormatMatch::NoFormat;
    size_t Index = 0;  // of the entry found
};
// The first offered entry of the request's format with a common medium (and
// the same index and aspect where checked); otherwise the nearest miss: the
// format offered in another medium, the medium right but another aspect, the
// aspect right but another index.
TFormatLookUp FindFormat(const std::vector<TFormatDesc>& Offered, const TFormatDesc& Request, uint32_t Checks);

// The descriptors a data object offers; an index outside raises EListError.
class TFormatList {
public:
    size_t Count() const { return items_.size(); }
    const TFormatDesc& Get(size_t Index) const;
    void Set(size_t Index, const TFormatDesc& Desc);
    size_t Add(const TFormatDesc& Desc);
    // Replaces the entry of the same format, or adds one.
    void Put(const TFormatDesc& Desc);
    const std::vector<TFormatDesc>& Items() const { return items_; }

private:
    std::vector<TFormatDesc> items_;
};

// IEnumFORMATETC over its own copy of a list.
class TFormatEnumerator {
public:
    explicit TFormatEnumerator(std::vector<TFormatDesc> Items, size_t Position = 0)
        : items_(std::move(Items)), position_(Position)
    {}
    // False (S_FALSE) for Count <= 0, at the end, or when the caller cannot
    // take the count fetched and asks for more than one; otherwise appends up
    // to Count descriptors to Out and advances.
    bool Next(long Count, bool FetchedWanted, std::vector<TFormatDesc>& Out);
    bool Skip(unsigned long Count);
    void Reset() { position_ = 0; }
    TFormatEnumerator Clone() const { return TFormatEnumerator(items_, position_); }

private:
    std::vector<TFormatDesc> items_;
    size_t position_ = 0;
};

// The right-drag menu.
struct TDropMenuTexts {
    std::wstring Copy, Move, Link, Cancel;
};
// The texts in the system's primary language (LANG_ values), English else.
TDropMenuTexts DropMenuTextsFor(uint16_t PrimaryLanguage);

constexpr int kDropMenuCancel = 0;
constexpr int kDropMenuMove = 1;
constexpr int kDropMenuCopy = 2;
constexpr int kDropMenuLink = 3;
constexpr int kDropMenuSeparator = 4;
constexpr int kDropMenuFirstCustom = 10;

struct TDropMenuItem {
    int Id = 0;
    std::wstring Text;  // empty for the separator
    bool Default = false;
};
// Move, copy, link (each only when both sides allow it), separator, cancel;
// the item of Effect is the default.
std::vector<TDropMenuItem> BuildDropMenu(uint32_t TargetEffects, uint32_t SourceEffects, uint32_t Effect,
                                         const TDropMenuTexts& Texts);
// The effect of a chosen item: none for cancel, the separator and custom items.
uint32_t EffectOfDropMenuChoice(int Id);

}  // namespace qrv

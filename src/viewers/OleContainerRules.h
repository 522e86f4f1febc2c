#pragma once
// What the embedded-document container decides without the system: units
// of the object's extent, where the object is drawn for each size mode, which
// verb a verb number runs, and the state it reports. Portable.

#include <cstdint>
#include <vector>

namespace qrv {

// How the object is fitted into the control's client area.
enum class TSizeMode { smClip, smCenter, smScale, smStretch, smAutoSize };

// The object states the container reports.
enum : int {
    osEmpty = 0,
    osLoaded = 1,
    osRunning = 2,
    osOpen = 3,
    osUIActive = 5,
};

// The verb numbers the container passes on as they are.
enum : int {
    ovPrimary = -65536,  // stands for the object's primary verb 0
    ovShow = -1,
    ovOpen = -2,
    ovHide = -3,
    ovUIActivate = -4,
    ovInPlaceActivate = -5,
};

struct TOleRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TOleRect&) const = default;
};

struct TOleSize {
    int Width = 0, Height = 0;
    bool operator==(const TOleSize&) const = default;
};

// HIMETRIC (hundredths of a millimetre) to pixels at dotsPerInch and back,
// rounded to the nearest unit (halves away from zero).
int HimetricToPixels(int himetric, int dotsPerInch);
int PixelsToHimetric(int pixels, int dotsPerInch);

// The rectangle the object is drawn in, in client coordinates: smClip at its
// natural size at the top left (the caller clips it to the client area),
// smStretch and smAutoSize the whole client area, smCenter its natural size
// centred, smScale the largest size of its proportions that fits, centred.
// An icon is always drawn at its natural size, centred.
TOleRect ObjectDrawRect(TSizeMode mode, bool iconic, const TOleRect& client, TOleSize extent);

// The control's size under smAutoSize: the extent and the border on both sides.
TOleSize AutoSizeBounds(TOleSize extent, int borderWidth);

// The verb number DoVerb runs: ovPrimary is verb 0, a verb above 0 is an
// index into the object's verb list (EOleError "Ungültiges Objekt-Verb"
// beyond it), any other value is passed on unchanged.
int ResolveVerb(int verb, const std::vector<int>& verbNumbers);

// The state: no object is empty; an object shown in its own window is open
// (tested first), then active in place with its user interface, then running
// as the system reports it, else loaded. Active in place without the user
// interface is reported as running.
int ObjectState(bool hasObject, bool running, bool openInOwnWindow, bool uiActive);

}  // namespace qrv

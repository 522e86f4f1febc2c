#include "framework/SysUtils.h"
#include "viewers/OleContainerRules.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(OleContainerRules, ConvertsHimetricAtTheScreensResolution)
{
    struct {
        int Himetric, Dpi, Pixels;
    } const cases[] = {
        {2540, 96, 96},   {2540, 120, 120}, {1000, 96, 38},  // 37.795...
        {1000, 120, 47},                                     // 47.244...
        {13, 96, 0},                                         // 0.49...
        {14, 96, 1},                                         // 0.53 rounds up
        {-2540, 96, -96}, {0, 120, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Himetric) + " at " + std::to_string(c.Dpi));
        EXPECT_EQ(HimetricToPixels(c.Himetric, c.Dpi), c.Pixels);
    }
    EXPECT_EQ(PixelsToHimetric(96, 96), 2540);
    EXPECT_EQ(PixelsToHimetric(120, 120), 2540);
    EXPECT_EQ(PixelsToHimetric(100, 96), 2646);   // 2645.83
    EXPECT_EQ(PixelsToHimetric(100, 120), 2117);  // 2116.67
    // There and back keeps a pixel size at both resolutions.
    for (int dpi : {96, 120})
        for (int pixels : {1, 17, 121, 640, 1999})
            EXPECT_EQ(HimetricToPixels(PixelsToHimetric(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
    EXPECT_EQ(HimetricToPixels(2540, 0), 0);
}

TEST(OleContainerRules, PlacesTheObjectForEachSizeMode)
{
    const TOleRect client{2, 2, 202, 102};  // 200 x 100 inside a border of 2
    struct {
        const char* Name;
        TSizeMode Mode;
        bool Iconic;
        TOleSize Extent;
        TOleRect Expected;
    } const cases[] = {
        {"clip: natural size at the top left", TSizeMode::smClip, false, {300, 40}, {2, 2, 302, 42}},
        {"center: natural size centred", TSizeMode::smCenter, false, {50, 20}, {77, 42, 127, 62}},
        {"center: larger than the client", TSizeMode::smCenter, false, {400, 100}, {-98, 2, 302, 102}},
        {"scale: wide object fills the width", TSizeMode::smScale, false, {400, 100}, {2, 27, 202, 77}},
        {"scale: tall object fills the height", TSizeMode::smScale, false, {10, 20}, {77, 2, 127, 102}},
        {"scale: small object grows", TSizeMode::smScale, false, {20, 10}, {2, 2, 202, 102}},
        {"scale: no extent fills the client", TSizeMode::smScale, false, {0, 0}, client},
        {"stretch fills the client", TSizeMode::smStretch, false, {10, 400}, client},
        {"auto size fills the client", TSizeMode::smAutoSize, false, {10, 400}, client},
        {"icon centred in clip mode", TSizeMode::smClip, true, {32, 32}, {86, 36, 118, 68}},
        {"icon centred in stretch mode", TSizeMode::smStretch, true, {32, 32}, {86, 36, 118, 68}},
        {"icon centred in scale mode", TSizeMode::smScale, true, {32, 32}, {86, 36, 118, 68}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TOleRect r = ObjectDrawRect(c.Mode, c.Iconic, client, c.Extent);
        EXPECT_EQ(r.Left, c.Expected.Left);
        EXPECT_EQ(r.Top, c.Expected.Top);
        EXPECT_EQ(r.Right, c.Expected.Right);
        EXPECT_EQ(r.Bottom, c.Expected.Bottom);
    }
    EXPECT_EQ(AutoSizeBounds({300, 40}, 2), (TOleSize{304, 44}));
    EXPECT_EQ(AutoSizeBounds({300, 40}, 0), (TOleSize{300, 40}));
}

TEST(OleContainerRules, MapsVerbs)
{
    const std::vector<int> verbs{0, 1, 7};  // the object's verb list: numbers by index
    EXPECT_EQ(ResolveVerb(ovPrimary, verbs), 0);
    EXPECT_EQ(ResolveVerb(1, verbs), 1);
    EXPECT_EQ(ResolveVerb(2, verbs), 7);
    EXPECT_EQ(ResolveVerb(0, verbs), 0);
    for (int passed : std::initializer_list<int>{ovShow, ovOpen, ovHide, ovUIActivate, ovInPlaceActivate, -7})
        EXPECT_EQ(ResolveVerb(passed, verbs), passed);
    EXPECT_EQ(ResolveVerb(ovPrimary, {}), 0);
    for (int beyond : {3, 1000}) {
        try {
            ResolveVerb(beyond, verbs);
            ADD_FAILURE() << "verb " << beyond << " accepted";
        } catch (const EOleError& error) {
            EXPECT_EQ(error.Message(), L"Ungültiges Objekt-Verb");
        }
    }
    EXPECT_THROW(ResolveVerb(1, {}), EOleError);
}

TEST(OleContainerRules, ReportsTheState)
{
    EXPECT_EQ(ObjectState(false, true, true, true), osEmpty);
    EXPECT_EQ(ObjectState(true, false, false, false), osLoaded);
    EXPECT_EQ(ObjectState(true, true, false, false), osRunning);
    EXPECT_EQ(ObjectState(true, true, false, true), osUIActive);
    // Open in its own window is tested before active in place.
    EXPECT_EQ(ObjectState(true, true, true, true), osOpen);
    EXPECT_EQ(ObjectState(true, true, true, false), osOpen);
}

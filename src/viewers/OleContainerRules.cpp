#include "viewers/OleContainerRules.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

constexpr int64_t kHimetricPerInch = 2540;

// value * numerator / denominator, rounded halves away from zero.
int ScaleRounded(int value, int64_t numerator, int64_t denominator)
{
    if (denominator <= 0)
        return 0;
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    const int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(result);
}

TOleRect Centred(const TOleRect& client, int width, int height)
{
    const int left = client.Left + (client.Width() - width) / 2;
    const int top = client.Top + (client.Height() - height) / 2;
    return TOleRect{left, top, left + width, top + height};
}

}  // namespace

int HimetricToPixels(int himetric, int dotsPerInch)
{
    return ScaleRounded(himetric, dotsPerInch, kHimetricPerInch);
}

int PixelsToHimetric(int pixels, int dotsPerInch)
{
    return ScaleRounded(pixels, kHimetricPerInch, dotsPerInch);
}

TOleRect ObjectDrawRect(TSizeMode mode, bool iconic, const TOleRect& client, TOleSize extent)
{
    if (iconic)
        return Centred(client, extent.Width, extent.Height);
    switch (mode) {
    case TSizeMode::smClip:
        return TOleRect{client.Left, client.Top, client.Left + extent.Width, client.Top + extent.Height};
    case TSizeMode::smCenter:
        return Centred(client, extent.Width, extent.Height);
    case TSizeMode::smScale: {
        if (extent.Width <= 0 || extent.Height <= 0)
            return client;
        // The smaller of the two scales, compared without rounding.
        const int64_t byWidth = static_cast<int64_t>(client.Width()) * extent.Height;
        const int64_t byHeight = static_cast<int64_t>(client.Height()) * extent.Width;
        if (byWidth <= byHeight)
            return Centred(client, client.Width(), ScaleRounded(extent.Height, client.Width(), extent.Width));
        return Centred(client, ScaleRounded(extent.Width, client.Height(), extent.Height), client.Height());
    }
    case TSizeMode::smStretch:
    case TSizeMode::smAutoSize:
        break;
    }
    return client;
}

TOleSize AutoSizeBounds(TOleSize extent, int borderWidth)
{
    return TOleSize{extent.Width + 2 * borderWidth, extent.Height + 2 * borderWidth};
}

int ResolveVerb(int verb, const std::vector<int>& verbNumbers)
{
    if (verb == ovPrimary)
        return 0;
    if (verb > 0) {
        if (static_cast<size_t>(verb) >= verbNumbers.size())
            throw EOleError(L"Ungültiges Objekt-Verb");
        return verbNumbers[static_cast<size_t>(verb)];
    }
    return verb;
}

int ObjectState(bool hasObject, bool running, bool openInOwnWindow, bool uiActive)
{
    if (!hasObject)
        return osEmpty;
    if (openInOwnWindow)
        return osOpen;
    if (uiActive)
        return osUIActive;
    return running ? osRunning : osLoaded;
}

}  // namespace qrv

#include "settings/Quorvan32Globals.h"

#include "common/BaseUtils.h"

namespace qrv {

const wchar_t* const kDefaultExtTexts[ExtFamilyCount] = {
    L".ANI.CUR.GIF.TIF.TIFF.CLP.DCM.DCX.EMF.EPS.G3.ICL.IFF.JIF.LBM.KDC.LDF.LWF.PGM.PPM.PBM.PCD.PGM"
    L".PPM.RAS.SUN.RLE.SFW.PSD.PSP.PCX.SFF.SFW.SGI.TGA.JPG.JPEG.JP2.JPC.J2K.IMG.FPX.MNG.JNG.TTF",
    L".HTM.HTML.HTX.OTM.PPT",
    L".DOC.DOT.XLS",
    L".AVI.MOV.MPG.MPE.MPEG.MPA.WAV.MP3.AIF.AIFF.AIFC.ASF.ASX.WMV.WVX.M1V.MP2.MP2V.MPV.IVF.M3U.MID"
    L".WMA.WAX.SND",
    L".COM.EXE.PIF.DLL.BIN.OCX.CPL.OBJ",
    L".TXT.BAT.CMD.RTF.INI.HTM.HTML.XML.INF.PAS.URL.CPP.H  .C  .CSS.JS .JAVA",
    L".JPG.JPEG.BMP.WMF.EMF.ICO.DIB.RLE.PNG.CUR.GIF",
};

TOptions Options;
std::wstring ComSpecPath;
TStringList StdDirList;
TStringList StdDirCaptions;
uint32_t DisplayColorCount = 0;

const wchar_t* const kDSARegKey = L"\\Software\\Quorvan Free\\Dialogs";
const wchar_t* const kDSACheckBoxCaption = L"&Diesen Hinweis in Zukunft nicht mehr anzeigen.";

std::wstring WebExtText(const TSystemFacts& facts)
{
    std::wstring text = kDefaultExtTexts[WebExts];
    if (facts.GermanSystem && facts.PdfHasOpenVerb)
        text += L".PDF";
    return text;
}

void BuildExtFamily(TStringList& family, const std::wstring& text)
{
    family.SetSorted(true);
    family.SetDuplicates(TDuplicates::dupIgnore);
    SplitExtList(text, family);
}

void SetDefaultOptions(TOptions& options, const TSystemFacts& facts)
{
    options = TOptions{};
    options.DragImages = facts.NTPlatform || facts.MinorVersion != 0;
    options.UseCompressedColor = facts.NTPlatform;
    options.ShowNetwork = facts.NetworkPresent;
    for (int family = 0; family < ExtFamilyCount; ++family) {
        auto list = std::make_shared<TStringList>();
        BuildExtFamily(*list, family == WebExts ? WebExtText(facts) : kDefaultExtTexts[family]);
        options.ExtLists[family] = std::move(list);
    }
}

uint32_t ColorCountForBitsPerPixel(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 4:
        return 15;
    case 15:
        return 32767;
    case 16:
        return 65535;
    case 24:
        return 16777215;
    case 32:
        return 0xFFFFFFFF;
    default:
        return 255;
    }
}

}  // namespace qrv

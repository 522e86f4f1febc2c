#include "settings/OptionSettings.h"

#include <algorithm>

namespace qrv {

namespace {

TFileNameDisplay FileNameDisplayOf(uint8_t value)
{
    return static_cast<TFileNameDisplay>(std::min<uint8_t>(value, static_cast<uint8_t>(TFileNameDisplay::fndNice)));
}

TDateTimeDisplay DateTimeDisplayOf(uint8_t value)
{
    return static_cast<TDateTimeDisplay>(std::min<uint8_t>(value, static_cast<uint8_t>(TDateTimeDisplay::dtdDate)));
}

// Compressed and hidden items get their own colours on the NT family only.
void TextColors(const TOptions& options, const TOptionFacts& facts, TTextColor& compressed, TTextColor& hidden)
{
    compressed.reset();
    hidden.reset();
    if (!facts.NTPlatform)
        return;
    if (options.UseCompressedColor)
        compressed = options.CompressedColor;
    if (options.HiddenGrey)
        hidden = options.HiddenColor;
}

}  // namespace

TColor EffectiveActiveColor(const TOptions& Options)
{
    return Options.UseColor ? Options.ActiveColor : kDefaultActiveColor;
}

TColor PaneColor(const TOptions& Options, bool Active)
{
    return Active || !Options.UseColor ? EffectiveActiveColor(Options) : Options.Color;
}

TTreeSettings TreeSettingsFor(const TOptions& Options, const TOptionFacts& Facts)
{
    TTreeSettings tree;
    tree.ConfirmDelete = Options.ConfirmPhysicalDel;
    tree.WantNukeWarning = Options.ConfirmPhysicalDel;
    tree.ConfirmOverwrite = Options.ConfirmOverWrite;
    tree.ChangeInterval = Options.Reload;
    tree.UseDragImages = Options.DragImages;
    tree.DDLinkOnExeDrag = Options.LinkOnExeDrag;
    tree.FileNameDisplay = FileNameDisplayOf(Options.FileNameDisplay);
    tree.AutoScroll = Options.AutoScrollTree;
    tree.HotTrack = Options.SingleClickExec;
    tree.ShowMessageBox = Options.MessageBox;
    tree.DDExpandDelay = Options.DDExpandDelay;
    tree.AutoExpandDir = Options.AutoExpandDir;
    tree.HideHiddenDirs = !Options.ShowHiddenDirs;
    TextColors(Options, Facts, tree.CompressedColor, tree.HiddenColor);
    tree.VolDisplayStyle =
        Options.LongVolNames ? TVolumeDisplayStyle::doLongPrettyName : TVolumeDisplayStyle::doPrettyName;
    return tree;
}

TListSettings ListSettingsFor(const TOptions& Options, const TOptionFacts& Facts)
{
    TListSettings list;
    list.UseDragImages = Options.DragImages;
    list.SortByExtension = Options.SortByExt;
    list.DDLinkOnExeDrag = Options.LinkOnExeDrag;
    list.SortAfterUpdate = Options.AutoSort;
    list.FileNameDisplay = FileNameDisplayOf(Options.FileNameDisplay);
    list.GridLines = Options.Grid;
    list.SingleClickToExec = Options.SingleClickExec;
    list.HotTrack = Options.SingleClickExec;
    list.HotTrackHand = Options.SingleClickExec;
    list.HotTrackUnderline = Options.SingleClickExec;
    list.DirsOnTop = Options.DirsOnTop;
    list.ShowSubDirSize = Options.DirSize;
    list.WantNukeWarning = Options.ConfirmPhysicalDel;
    list.ShowExtension = Options.ShowExtension;
    list.SortDirTime = Options.SortDirTime;
    list.ShowInfoTips = Options.InfoTips;
    list.SelDir = Options.SelDirs;
    list.SelHidden = Options.ShowHiddenDirs ? TSelAttr::SelDontCare : TSelAttr::SelNo;
    list.HideHiddenDirs = !Options.ShowHiddenDirs;
    // The themed lists of XP and later on true-colour displays draw ".."
    // well enough without the arrow.
    list.ShowParentArrow = !(Facts.DisplayColorCount > 0xFFFFFF && Facts.WindowsXPOrLater);
    list.AttrSpace = Options.AttrUnderline ? L"_" : L"";
    list.AbbreviatedSize = Options.AbbreviatedSize;
    list.ThumbWidth = Options.PixelX;
    list.ThumbHeight = Options.PixelY;
    list.ThumbFrame = Options.FrameSize;
    if (Options.DistX > 0)
        list.ThumbSpacing = Options.DistX;
    TextColors(Options, Facts, list.CompressedColor, list.HiddenColor);
    list.ShowColumnIcon = true;
    list.ChangeInterval = Options.Reload;
    list.RowSelect = Options.RowSelect;
    list.ShowDirectories = Options.ShowDirs;
    list.IconThread = Options.TurboIcon;
    list.DateTimeDisplay = DateTimeDisplayOf(Options.DateTime);
    return list;
}

TWindowSettings WindowSettingsFor(const TOptions& Options)
{
    TWindowSettings window;
    window.ActiveColor = EffectiveActiveColor(Options);
    window.FSMonitorEnabled = Options.FSMonitorActive;
    window.ViewDirSizeChecked = Options.DirSize;
    window.HexButtonDown = Options.FileDisplay == 1;
    window.TextButtonDown = Options.FileDisplay == 2;
    window.ShowTree = Options.ShowDirWin;
    window.SecondFileWin = Options.SecondFileWin;
    window.DosCloseChecked = Options.DosClose;
    window.PictureBackground = Options.PicBKColor;
    window.EditorsWantTabs = Options.WantTabs;
    return window;
}

}  // namespace qrv

#include "mainwindow/OptionsExchange.h"

#include <cstddef>
#include <tuple>
#include <utility>

namespace qrv {

namespace {

// Every field of the record but the extension families, which are shared
// pointers and compared by their entries below.
auto ComparedFields(const TOptions& o)
{
    return std::tie(o.SelBothFileWin, o.SecondFileWin, o.BringToFront, o.RestoreInitDir, o.scRestoreFilter,
                    o.ConfirmLogicalDel, o.ConfirmPhysicalDel, o.ConfirmOverWrite, o.ConfirmAuthority, o.TrayApp,
                    o.VerifyFloppy, o.CDROMAttr, o.DosClose, o.SortByExt, o.InfoTips, o.AutoSort, o.SortDirTime,
                    o.TurboIcon, o.ShowDirs, o.RowSelect, o.BAKFiles, o.ShowFilter, o.LongVolNames, o.DragImages,
                    o.SelDirs, o.ClickEdits, o.SyncDisplay, o.LinkOnExeDrag, o.UseColor, o.SingleClickExec, o.Grid,
                    o.DirSize, o.UseProgIcons, o.PreserveDirs, o.ShowDirWin, o.UseCompressedColor, o.HiddenGrey,
                    o.DirsOnTop, o.ViewArchive, o.UseActiveX, o.UseRegistry, o.AutoScrollTree, o.AutoExpandDir,
                    o.MMAutoPlay, o.ShowExtension, o.ShowNetwork, o.FSMonitorActive, o.SBAbbreviated, o.AbbreviatedSize,
                    o.MessageBox, o.AutoActivate, o.AttrUnderline, o.SquareThumb, o.ShowLogo, o.ViewFile, o.FollowLinks,
                    o.WantTabs, o.TwoTBDrives, o.ShowHiddenDirs, o.TBButtonSize, o.ChangeUserSettings, o.Color,
                    o.ActiveColor, o.CompressedColor, o.HiddenColor, o.PicBKColor, o.DateTime, o.Reload, o.DividerStyle,
                    o.FKeys, o.ListFont, o.TextFont, o.DDOption, o.DDExpandDelay, o.Maximized, o.StartDir, o.StartDir2,
                    o.FileDisplay, o.FileDisplayPos, o.IrfanViewPath, o.CompareProgPath, o.FileNameDisplay,
                    o.FilterList, o.PixelX, o.PixelY, o.DistX, o.FrameSize);
}

// Counts the fields of an aggregate: the largest number of initialisers it
// accepts. It guards the list above against a field added to the record.
struct TAnyField {
    template <class T>
    operator T() const;  // NOLINT(google-explicit-constructor)
};

template <class T, size_t... I>
constexpr bool AcceptsInitialisers(std::index_sequence<I...>)
{
    return requires
    {
        T{(static_cast<void>(I), TAnyField{})...};
    };
}

template <class T, size_t N = 0>
constexpr size_t FieldCount()
{
    if constexpr (AcceptsInitialisers<T>(std::make_index_sequence<N + 1>{}))
        return FieldCount<T, N + 1>();
    else
        return N;
}

constexpr size_t kComparedFieldCount = std::tuple_size_v<decltype(ComparedFields(std::declval<const TOptions&>()))>;
static_assert(FieldCount<TOptions>() == kComparedFieldCount + 1, "a field of TOptions is missing from ComparedFields");

bool SameFamily(const std::shared_ptr<TStringList>& A, const std::shared_ptr<TStringList>& B)
{
    if (A == B)
        return true;
    const int countA = A ? A->Count() : 0;
    const int countB = B ? B->Count() : 0;
    if (countA != countB)
        return false;
    for (int i = 0; i < countA; ++i)
        if (A->Get(i) != B->Get(i))
            return false;
    return true;
}

}  // namespace

bool SameOptions(const TOptions& A, const TOptions& B)
{
    if (ComparedFields(A) != ComparedFields(B))
        return false;
    for (size_t i = 0; i < A.ExtLists.size(); ++i)
        if (!SameFamily(A.ExtLists[i], B.ExtLists[i]))
            return false;
    return true;
}

TOptionsExchangeResult ExchangeOptions(TOptions& Options, int& LastPage, TOptionsDialogRunner& Runner)
{
    const TOptions before = Options;
    int page = LastPage;
    const bool accepted = Runner.Run(Options, page);
    LastPage = page;

    TOptionsExchangeResult result;
    if (!accepted) {
        Options = before;
        return result;
    }
    result.Changed = !SameOptions(before, Options);
    if (!result.Changed)
        return result;
    result.ShowExtensionChanged = before.ShowExtension != Options.ShowExtension;
    result.UseRegistryChanged = before.UseRegistry != Options.UseRegistry;
    result.SyncDisplaySwitchedOn = !before.SyncDisplay && Options.SyncDisplay;
    result.FileDisplayChanged = before.FileDisplay != Options.FileDisplay;
    result.FKeysChanged = before.FKeys != Options.FKeys;
    result.FilterListChanged = before.FilterList != Options.FilterList;
    return result;
}

}  // namespace qrv

#include "mainwindow/FileDisplayRules.h"

#include "common/BaseUtils.h"
#include "framework/SysUtils.h"
#include "mainwindow/FileToolRules.h"

#include <optional>

namespace qrv {

std::wstring ShortExtension(std::wstring_view path)
{
    return UpperCase(ExtractFileExt(path).substr(0, 6));
}

bool InExtFamily(const TOptions& options, TExtFamily family, const std::wstring& shortExt)
{
    const auto& list = options.ExtLists[family];
    int index = 0;
    return list && !shortExt.empty() && list->Find(shortExt, index);
}

namespace {

// ".RT" and ".RTF" (and "RTF" without its dot) name rich text; longer or
// other extensions do not.
bool IsRichTextExtension(std::wstring ext)
{
    if (ext.empty() || ext[0] != L'.')
        ext.insert(ext.begin(), L'.');
    return ext.size() >= 3 && ext.size() <= 6 && std::wstring_view(L".RTF").find(ext) != std::wstring_view::npos;
}

}  // namespace

uint8_t ChooseViewerKind(const std::wstring& shortExt, const TViewerChoiceFacts& facts)
{
    if (facts.ForcedMode == fdHex)
        return vkHex;
    if (facts.ForcedMode == fdText)
        return vkText;
    if (facts.ViewArchive && IsListedArchive(shortExt))
        return vkArchive;
    auto inFamily = [&](TExtFamily family) { return facts.InFamily && facts.InFamily(family); };
    if (inFamily(PictureExts))
        return vkPicture;
    if (inFamily(ConvertExts) && facts.PictureClassRegistered && facts.PictureClassRegistered())
        return vkPicture;
    if (inFamily(ConvertExts) && facts.ConverterAvailable && facts.ConverterAvailable())
        return vkConvertedPicture;
    if (inFamily(BinaryExts))
        return vkHex;
    std::optional<TTextFileKind> kind;
    auto content = [&]() -> const TTextFileKind& {
        if (!kind)
            kind = facts.ContentTest ? facts.ContentTest() : TTextFileKind{};
        return *kind;
    };
    if (IsRichTextExtension(shortExt) || content().RichText)
        return vkRichText;
    if (inFamily(TextExts) || content().Text)
        return vkText;
    return vkHex;
}

TDisplayDecision DecideDisplay(const TDisplayFacts& facts)
{
    TDisplayDecision decision;
    if (facts.Terminating || facts.Loading || !facts.ViewFile || facts.Frozen || facts.FocusedPath == facts.ViewedFile)
        return decision;
    decision.NewViewedFile = facts.FocusedPath;
    if (facts.FocusedPath.empty()) {
        decision.Action = TDisplayAction::daNoFile;
        return decision;
    }
    decision.Path = facts.FocusedPath;
    decision.Extension = ShortExtension(decision.Path);
    if (facts.FollowLinks && decision.Extension == L".LNK" && facts.LinkTarget) {
        const std::wstring target = facts.LinkTarget(decision.Path);
        if (!target.empty() && facts.FileExists && facts.FileExists(target)) {
            decision.Path = target;
            decision.Extension = ShortExtension(target);
        }
    }
    if (facts.FocusedIsDirectory) {
        if (facts.FocusedIsParent)
            decision.Path = facts.ListFolder;
        decision.Action = TDisplayAction::daDirectory;
        return decision;
    }
    if (facts.ForcedMode == fdAutomatic && decision.Extension == L".LNK") {
        decision.Action = TDisplayAction::daLink;
        return decision;
    }
    decision.Name = ExtractFileName(decision.Path);
    decision.Action = facts.Excluded && facts.Excluded(UpperCase(decision.Name)) ? TDisplayAction::daExcluded
                                                                                 : TDisplayAction::daViewer;
    return decision;
}

TPicturePlace CenterPicture(int imageWidth, int imageHeight, int boxWidth, int boxHeight, int vertBarWidth,
                            int horzBarHeight)
{
    // 64-bit differences: sizes near the int range cannot overflow.
    auto centred = [](int64_t image, int64_t room) { return image < room ? static_cast<int>((room - image) / 2) : 0; };
    return {centred(imageWidth, int64_t{boxWidth} - vertBarWidth),
            centred(imageHeight, int64_t{boxHeight} - horzBarHeight)};
}

}  // namespace qrv

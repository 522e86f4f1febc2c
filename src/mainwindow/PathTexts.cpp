#include "mainwindow/PathTexts.h"

#include "common/TextPlaces.h"

namespace qrv {

namespace {

std::optional<std::wstring> Short(const std::wstring& Path, const TShortPathOf& ShortPath)
{
    if (Path.empty() || !ShortPath)
        return std::nullopt;
    std::wstring text = ShortPath(Path);
    if (text.empty())
        return std::nullopt;
    return text;
}

std::optional<std::wstring> Present(const std::wstring& Text)
{
    return Text.empty() ? std::nullopt : std::optional<std::wstring>(Text);
}

}  // namespace

bool PathTextNeedsItem(TPathTextKind Kind)
{
    return Kind != TPathTextKind::DirPath && Kind != TPathTextKind::DirPathShort;
}

std::optional<std::wstring> PathTextFor(TPathTextKind Kind, const TPathTextSource& Source,
                                        const TShortPathOf& ShortPath)
{
    switch (Kind) {
    case TPathTextKind::FilePath:
        return Present(Source.ItemPath);
    case TPathTextKind::FilePathShort:
        return Short(Source.ItemPath, ShortPath);
    case TPathTextKind::FileName:
        return Source.ItemPath.empty() ? std::nullopt : Present(Source.ItemName);
    case TPathTextKind::FileNameShort: {
        const std::optional<std::wstring> path = Short(Source.ItemPath, ShortPath);
        if (!path)
            return std::nullopt;
        const size_t slash = path->find_last_of(L"\\/");
        return Present(slash == std::wstring::npos ? *path : path->substr(slash + 1));
    }
    case TPathTextKind::DirPath:
        return Present(Source.TreePath);
    case TPathTextKind::DirPathShort:
        return Short(Source.TreePath, ShortPath);
    }
    return std::nullopt;
}

std::wstring CopiedAsTextMessage(const std::wstring& Text)
{
    return FillPlaces(L"\"%s\" wurde als Text in die Zwischenablage gestellt.", {Text});
}

}  // namespace qrv

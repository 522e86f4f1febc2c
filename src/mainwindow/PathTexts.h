#pragma once
// The texts the "als Text" commands put on the clipboard: the selected
// item's full path, its name, the tree's folder, each also in its short
// (8.3) form. Portable; the commands are mainwindow/win/PathTextCommands.h.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qrv {

enum class TPathTextKind : uint8_t { FilePath, FilePathShort, FileName, FileNameShort, DirPath, DirPathShort };

// What the commands take the text from; an empty field is missing.
struct TPathTextSource {
    std::wstring ItemPath;  // the full path of the active list's selected item
    std::wstring ItemName;  // its stored name
    std::wstring TreePath;  // the folder of the tree's selected node
};

// The short form of a full path; empty when the system gives none.
using TShortPathOf = std::function<std::wstring(const std::wstring& Path)>;

// The text for the command, or nothing (the command beeps) when what it
// needs is missing or its short form cannot be had. The short name is the
// last part of the short path.
std::optional<std::wstring> PathTextFor(TPathTextKind Kind, const TPathTextSource& Source,
                                        const TShortPathOf& ShortPath);
// The directory commands need a tree node, the others a selected item.
bool PathTextNeedsItem(TPathTextKind Kind);

// "\"%s\" wurde als Text in die Zwischenablage gestellt."
std::wstring CopiedAsTextMessage(const std::wstring& Text);

}  // namespace qrv

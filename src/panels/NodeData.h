#pragma once
// TNodeData: what the folder tree keeps for each of its nodes, a drive root,
// a directory read from disk or a shell folder below the network
// neighbourhood. Owned by its node and freed with it. Portable.

#include "common/PIDL.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qrv {

// Shell attribute bits the tree reads (the values of the SFGAO_ bits, and
// the tree's own mark for shell folders that lie in the file system).
constexpr uint32_t kShellAttrHasSubFolder = 0x80000000;
constexpr uint32_t kShellAttrFileSystem = 0x40000000;
constexpr uint32_t kShellAttrRealFolder = 0x10000000;
constexpr uint32_t kShellAttrShare = 0x00020000;

struct TNodeData {
    std::wstring DisplayName;  // caption base; the shell's in-folder name for shell folders
    std::wstring DirName;      // directory name; "X:\" for a drive root
    std::wstring ShortName;    // 8.3 name; "X:\" for a root
    std::wstring ParsingName;  // shell folders only
    uint32_t Attr = 0;         // file attributes
    bool AllScanned = false;   // the children have been read
    uint32_t ShellAttr = kShellAttrFileSystem;
    bool Expanded = false;  // saved expanded state
    bool Bold = false;
    // Bytes of the files directly in the directory; -1 while unknown. 64
    // bits, so folders over 2 GiB keep their size.
    int64_t DirSize = -1;
    bool IconEmpty = true;  // images not fetched yet
    bool IsRecycleBin = false;
    bool IsVirtual = false;  // a shell folder rather than a disk directory
    // Relative to the parent's shell folder; its own bytes, so copies of
    // the record duplicate it.
    TPidlBytes Pidl;
    // The bound shell folder interface (released by its deleter), shared by
    // copies of the record; empty until bound.
    std::shared_ptr<void> ShellFolder;
    bool Scanned = false;  // the subfolder probe has run

    bool IsFileSystem() const { return (ShellAttr & kShellAttrFileSystem) != 0; }
    bool IsFileSystemOrReal() const { return !IsVirtual || IsFileSystem(); }
    // Copies every field: the list is duplicated, the folder shared.
    void Assign(const TNodeData& Source) { *this = Source; }
};

// The short name a node keeps: the 8.3 name the search gave, or the long
// name upper-cased when there is none.
std::wstring NodeShortName(std::wstring_view LongName, std::wstring_view AlternateName);

}  // namespace qrv

#include "archives/ReaderEntries.h"

namespace qrv {

TArchiveEntry ArchiveEntryOf(const TRarEntry& Entry)
{
    TArchiveEntry entry;
    entry.StoredName = Entry.FileName;
    entry.DateTime = Entry.FileTime;
    entry.Size = Entry.UnpSize;
    entry.PackedSize = Entry.PackSize;
    entry.CRC = Entry.FileCRC;
    entry.Encrypted = Entry.Encrypted != 0;
    entry.IsDirectory = (Entry.FileAttr & kDirectoryAttribute) != 0;
    return entry;
}

TArchiveEntry ArchiveEntryOf(const TAceEntry& Entry)
{
    TArchiveEntry entry;
    entry.StoredName = Entry.FileName;
    entry.DateTime = Entry.FileTime;
    entry.Size = Entry.UnpSize;
    entry.PackedSize = Entry.PackSize;
    entry.CRC = Entry.CRC;
    entry.Encrypted = Entry.Encrypted != 0;
    entry.IsDirectory = (Entry.Attributes & kDirectoryAttribute) != 0;
    return entry;
}

}  // namespace qrv

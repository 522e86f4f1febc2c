#pragma once
// The hex editor's document: the working file with a 64 KB read cache, the
// change marks, the change journal, the admitted edits and the search.
// Everything is 64-bit; nothing here reads more of the file than it is asked
// for, so a document of any size opens at once. Portable.

#include "viewers/HexDocumentCharset.h"
#include "viewers/HexDocumentFile.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// The kinds of change and their journal records.
enum class THexChangeKind : uint8_t {
    ByteChanged = 0,
    BytesRemoved = 1,
    InsertBuffer = 2,
    ReplaceSelection = 3,
    AppendBuffer = 4
};

// Where the caret and selection were when a change was made.
struct THexEditPosition {
    int64_t CaretOffset = 0;
    int CaretNibble = 0;
    bool CaretInCharPane = false;
    int64_t SelStart = -1, SelEnd = -1, SelAnchor = -1;
};

struct THexJournalRecord {
    THexChangeKind Kind{};
    bool OldChangeMark = false;
    bool WasModified = false;
    THexEditPosition Position;
    int64_t Args[3] = {0, 0, 0};
    // The old or removed bytes, up to JournalPayloadLimit of them; the
    // journal is never replayed, so large removed ranges stay on disk only.
    std::vector<uint8_t> Payload;
    int64_t PayloadSize = 0;
};

// Byte offsets marked as changed, kept as ranges.
class THexChangeMarks {
public:
    void Mark(int64_t offset);
    bool IsMarked(int64_t offset) const;
    // Drops every mark from offset on.
    void DropFrom(int64_t offset);
    void Clear() { ranges_.clear(); }
    bool Empty() const { return ranges_.empty(); }
    size_t RangeCount() const { return ranges_.size(); }

private:
    std::map<int64_t, int64_t> ranges_;  // start -> end (exclusive)
};

class THexDocument {
public:
    static constexpr size_t CacheSize = 65536;
    static constexpr int JournalLimit = 100;
    static constexpr size_t JournalPayloadLimit = 65536;
    // Edits move the data, and the search reads it, in blocks of these
    // sizes; the search looks at data the file shows in place in windows of
    // FindViewSize (all smaller in tests, so that the borders are crossed).
    size_t MoveBlockSize = 1 << 20;
    int64_t FindBlockSize = 256 << 10;
    int64_t FindViewSize = 256 << 20;
    // The search uses AVX2 where the processor has it; tests turn it off to
    // cover the SSE2 scan as well.
    bool AllowAvx2 = true;

    THexDocument();

    // Takes the file (nullptr: no data); clears marks, journal and Modified.
    void Open(std::unique_ptr<THexFile> file);
    void Close() { Open(nullptr); }
    bool HasFile() const { return file_ != nullptr; }
    THexFile* File() const { return file_.get(); }

    int64_t Size() const { return size_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    bool NoSizeChange = false;
    // Makes the working file when an edit adds bytes to a document that has
    // none (an empty untitled one); an in-memory file when unset.
    std::function<std::unique_ptr<THexFile>()> CreateWorkingFile;

    // A byte through the read cache; false when it cannot be read.
    [[nodiscard]] bool ReadByte(int64_t offset, uint8_t& value);
    // Up to count bytes from offset through the read cache, refilled around
    // offset when the range is not in it; nullptr when unreadable.
    const uint8_t* CachedBytes(int64_t offset, size_t count, size_t& available);
    // A copy of count bytes from offset; count is cut at the end of the data
    // and set to 0 (with no bytes) when reading or allocating fails. Raises
    // "Invalid BufferFromFile argument" for an offset outside the data.
    std::vector<uint8_t> BufferFromFile(int64_t offset, int64_t& count);

    const THexChangeMarks& ChangeMarks() const { return marks_; }
    bool IsChanged(int64_t offset) const { return marks_.IsMarked(offset); }
    void ClearChangeMarks() { marks_.Clear(); }

    int JournalCount() const { return static_cast<int>(journal_.size()); }
    // "No Undo" while the journal is empty, else the last change's text.
    std::wstring JournalDescription() const;
    const std::deque<THexJournalRecord>& Journal() const { return journal_; }
    void ResetJournal() { journal_.clear(); }

    // Whether a change of that kind may be made now (size, NoSizeChange).
    bool CanChange(THexChangeKind kind, int64_t count, int64_t replacedLength) const;

    // The edits. Each is admitted first and gives false when refused; an
    // admitted edit is journalled and sets Modified. I/O errors propagate.
    // markChange: set the byte's change mark (off in insert mode).
    bool ChangeByte(int64_t offset, uint8_t value, bool markChange, const THexEditPosition& position);
    bool DeleteRange(int64_t from, int64_t to, const THexEditPosition& position);
    bool InsertBytes(int64_t offset, const uint8_t* bytes, size_t count, const THexEditPosition& position);
    bool AppendBytes(const uint8_t* bytes, size_t count, const THexEditPosition& position);
    // Replaces count bytes from start; with NoSizeChange a longer replacement
    // is cut and a shorter one narrows the range to its length. start and
    // count return what was replaced.
    bool ReplaceRange(int64_t& start, int64_t replacedLength, const uint8_t* bytes, size_t& count,
                      const THexEditPosition& position);

    // The first match of the pattern that lies within first .. last, or -1.
    // lowerTable, when given, lower-cases data and pattern alike.
    int64_t Find(const uint8_t* pattern, int64_t length, const std::array<uint8_t, 256>* lowerTable, int64_t lastOffset,
                 int64_t firstOffset);

private:
    void Journalize(THexChangeKind kind, const THexEditPosition& position, int64_t a0, int64_t a1, int64_t a2,
                    const uint8_t* payload, int64_t payloadSize, bool oldMark);
    void InvalidateCache()
    {
        cacheStart_ = -1;
        cacheCount_ = 0;
    }
    void WriteThrough(int64_t offset, const uint8_t* bytes, size_t count);
    void MoveDown(int64_t from, int64_t to);
    void MoveUp(int64_t offset, int64_t by);
    std::vector<uint8_t> ReadLimited(int64_t offset, int64_t count);

    std::unique_ptr<THexFile> file_;
    int64_t size_ = 0;
    bool modified_ = false;
    std::vector<uint8_t> cache_;
    int64_t cacheStart_ = -1;
    size_t cacheCount_ = 0;
    THexChangeMarks marks_;
    std::deque<THexJournalRecord> journal_;
};

// Hexadecimal text to bytes: of the first length characters, the digits
// (either case) are taken pairwise, high nibble first (low first with
// swapNibbles); other characters are skipped and an unpaired last digit is
// dropped.
std::vector<uint8_t> HexStringToBytes(std::u16string_view text, bool swapNibbles);

// Saving over the document's own file keeps its old content as a backup when
// backups are wanted and the data was changed.
bool HexSaveMakesBackup(bool createBackup, bool modified, std::wstring_view target, std::wstring_view fileName);
// The backup's name: the extension replaced by the backup extension, or the
// backup extension added when the file already has it ("x.bak.bak").
std::wstring HexBackupName(std::wstring_view fileName, std::wstring_view backupExtension);

}  // namespace qrv

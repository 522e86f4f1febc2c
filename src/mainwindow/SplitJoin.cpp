#include "mainwindow/SplitJoin.h"

#include "common/SafeExtractPath.h"
#include "framework/Encoding.h"
#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

std::wstring Quoted(const std::wstring& Before, const std::wstring& Name, const std::wstring& After)
{
    return Before + L"\"" + Name + L"\"" + After;
}

std::wstring NameOf(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

std::wstring WithSeparator(std::wstring Folder)
{
    if (!Folder.empty() && Folder.back() != L'\\' && Folder.back() != L'/')
        Folder += L'\\';
    return Folder;
}

std::wstring OpenFailedText(const std::wstring& Path)
{
    return Quoted(L"Die Datei ", Path, L" kann nicht geöffnet werden.");
}

std::wstring ReadFailedText(const std::wstring& Path)
{
    return Quoted(L"Fehler beim Lesen der Datei ", Path, L"");
}

std::wstring WriteFailedText(const std::wstring& Path)
{
    return Quoted(L"Fehler beim Schreiben in Datei ", Path, L"");
}

constexpr uint8_t kIgnoreCancelHelp = sbIgnore | sbCancel | sbHelp;

}  // namespace

TSplitCopy TSplitFile::CopyTo(TSplitFile& Target, uint64_t Offset, uint32_t Count, std::span<uint8_t> Buffer)
{
    TSplitCopy copy;
    copy.Read = Read(Buffer.data(), std::min<uint32_t>(Count, static_cast<uint32_t>(Buffer.size())));
    if (copy.Read > 0)
        copy.Written = Target.WriteAt(Offset, Buffer.data(), static_cast<uint32_t>(copy.Read));
    return copy;
}

std::wstring SplitTooLargeText(const std::wstring& Name)
{
    return Quoted(L"Die Datei ", Name,
                  L" ist größer als 4 GB. Es können jedoch nur Dateien bis zu einer maximalen Größe von 4 GB "
                  L"aufgeteilt werden.");
}

std::wstring SplitNameNotStorableText(const std::wstring& Name)
{
    return Quoted(L"Der Dateiname ", Name, L" kann in den Teildateien nicht gespeichert werden.");
}

std::wstring SplitNoTargetText(const std::wstring& Dir)
{
    return Quoted(L"Kein Zielverzeichnis eingegeben oder das eingegebene Zielverzeichnis ", Dir,
                  L" ist nicht vorhanden.");
}

std::wstring InvalidPartText(const std::wstring& Path)
{
    return Quoted(L"Datei ", Path, L" ist keine gültige Teildatei.");
}

std::wstring MissingPartText(const std::wstring& Part, const std::wstring& Original)
{
    return Quoted(L"Die Teildatei ", Part, L" ist nicht vorhanden, die Datei ") + Quoted(L"", Original, L"") +
           L" kann daher nicht wieder zusammengesetzt werden.";
}

bool FitsSplit(uint64_t FileSize)
{
    return FileSize <= kSplitLargestOriginal;
}

TSplitJoin::TSplitJoin(TSplitFileSystem& Files, const TSplitJoinUi& Ui, const TEncoding& Names)
    : files_(Files), ui_(Ui), names_(Names)
{}

std::wstring TSplitJoin::WithError(const std::wstring& Text)
{
    return Text + L"\r\r" + files_.LastErrorText();
}

bool TSplitJoin::IgnoreOrCancel(const std::wstring& Text)
{
    return ui_.Ask(Text, TSplitBoxKind::Error, kIgnoreCancelHelp) != sbCancel;
}

std::wstring TSplitJoin::DecodeName(const std::string& Bytes) const
{
    return names_.GetString(Bytes);
}

bool TSplitJoin::WaitForRoom(const std::wstring& TargetDir, uint64_t Needed)
{
    // A folder of a network share ("\\server\...") has no drive to ask.
    if (TargetDir.size() < 3 || TargetDir[0] == L'\\' || TargetDir[1] != L':')
        return true;
    const std::wstring root = TargetDir.substr(0, 2) + L"\\";
    const std::wstring letter = TargetDir.substr(0, 1);
    while (files_.FreeSpace(root).value_or(0) <= Needed) {
        if (files_.DriveKind(root) != TSplitDriveKind::Removable) {
            ui_.Ask(L"Kein Speicherplatz auf den Laufwerk " + letter + L": vorhanden", TSplitBoxKind::Error, sbOk);
            return false;
        }
        const std::wstring text =
            L"Kein Speicherplatz auf den Laufwerk " + letter + L": verfügbar. Bitte legen Sie ein neues Medium ein.";
        if (ui_.Ask(text, TSplitBoxKind::Confirmation, sbOk | sbCancel) != sbOk)
            return false;
    }
    return true;
}

bool TSplitJoin::SplitFileParts(const std::wstring& File, uint64_t PartSize, const std::wstring& TargetDir)
{
    const std::wstring name = NameOf(File);
    TSplitHeader header;
    size_t bad = 0;
    if (!names_.TryGetBytes(name, header.Name, bad) || header.Name.size() > kSplitLongestName ||
        names_.GetString(header.Name) != name) {
        ui_.Ask(SplitNameNotStorableText(name), TSplitBoxKind::Error, sbOk);
        return true;
    }
    const std::optional<TSplitFileInfo> info = files_.Info(File);
    if (info) {
        header.Created = info->Created;
        header.Written = info->Written;
        header.Attributes = info->Attributes;
    }
    std::unique_ptr<TSplitFile> original;
    while (!(original = files_.OpenRead(File)))
        if (ui_.Ask(WithError(OpenFailedText(File)), TSplitBoxKind::Error, sbRetry | sbCancel | sbHelp) != sbRetry)
            return false;

    uint64_t size = info ? info->Size : 0;
    const uint64_t dataSize = SplitDataSize(PartSize);
    std::vector<uint8_t> buffer(SplitCopyBlock(dataSize));
    const std::wstring base = TargetDir + name;
    while (header.End < size) {
        // Room for this part: a whole part, or the rest with its overhead.
        if (!WaitForRoom(TargetDir, std::min(PartSize, size - header.End + kSplitPartOverhead)))
            return false;
        ++header.Number;
        const std::wstring partPath = SplitPartName(base, header.Number);
        bool created = false;
        std::unique_ptr<TSplitFile> part;
        while (!(part = files_.OpenWrite(partPath, true, created)))
            if (ui_.Ask(WithError(WriteFailedText(partPath)), TSplitBoxKind::Error, sbRetry | sbCancel | sbHelp) !=
                sbRetry)
                return false;
        // A part left without its header is of no use: it goes.
        const auto dropPart = [&] {
            part.reset();
            // One that cannot be deleted stays behind, refused by any join.
            if (!files_.Delete(partPath))
                TraceIgnoredFailure(L"deleting an unfinished part of a split");
        };

        uint64_t done = 0;
        while (done < dataSize && header.End < size) {
            const uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(buffer.size(), dataSize - done));
            const TSplitCopy copy = original->CopyTo(*part, kSplitHeaderSize + done, want, buffer);
            const int64_t got = copy.Read;
            if (got < 0) {
                if (!IgnoreOrCancel(WithError(ReadFailedText(File)))) {
                    dropPart();
                    return false;
                }
                break;  // the part ends with what was read
            }
            if (got == 0) {
                size = header.End;  // the original is shorter than it was
                break;
            }
            if (copy.Written != got && !IgnoreOrCancel(WithError(WriteFailedText(partPath)))) {
                dropPart();
                return false;
            }
            done += static_cast<uint64_t>(got);
            header.End += static_cast<uint32_t>(got);
            ui_.Step();
            if (ui_.Stopped()) {
                dropPart();
                return false;
            }
        }
        if (done == 0) {
            // Nothing was read into it: no part.
            dropPart();
            --header.Number;
            if (header.End < size)
                return true;  // the original could not be read on (Ignore): the next file
            break;
        }
        files_.AnnounceCreated(partPath);
        if (header.End >= size)
            header.Count = header.Number;
        const TSplitHeaderBytes bytes = EncodeSplitHeader(header);
        if (part->WriteAt(0, bytes.data(), static_cast<uint32_t>(bytes.size())) != static_cast<int64_t>(bytes.size()) &&
            !IgnoreOrCancel(WithError(WriteFailedText(partPath)))) {
            dropPart();
            return false;
        }
        part.reset();
        header.Start = header.End;
        if (ui_.Stopped())
            return false;
    }
    return true;
}

std::optional<TSplitHeader> TSplitJoin::IsValidSplitPart(const std::wstring& Path)
{
    const std::unique_ptr<TSplitFile> file = files_.OpenRead(Path);
    if (!file)
        return std::nullopt;
    TSplitHeaderBytes bytes{};
    size_t got = 0;
    while (got < bytes.size()) {
        const int64_t n = file->Read(bytes.data() + got, static_cast<uint32_t>(bytes.size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    std::optional<TSplitHeader> header = DecodeSplitHeader(std::span<const uint8_t>(bytes.data(), got));
    if (!header)
        ui_.Ask(InvalidPartText(Path), TSplitBoxKind::Error, sbOk | sbHelp);
    return header;
}

TSplitJoin::TJoinPlan TSplitJoin::PlanJoin(std::vector<std::wstring> Selected, const std::wstring& Folder)
{
    std::sort(Selected.begin(), Selected.end(),
              [](const std::wstring& a, const std::wstring& b) { return CompareText(a, b) < 0; });
    struct TFound {
        std::wstring Name;
        uint32_t Count = 0;
    };
    std::vector<TFound> found;
    for (const std::wstring& path : Selected) {
        const std::optional<TSplitHeader> header = IsValidSplitPart(path);
        if (!header)
            continue;
        const std::wstring original = DecodeName(header->Name);
        // A name with a folder, drive or stream would write elsewhere.
        if (!IsSafeNameLevel(original)) {
            ui_.Ask(InvalidPartText(path), TSplitBoxKind::Error, sbOk | sbHelp);
            continue;
        }
        auto it = std::find_if(found.begin(), found.end(), [&](const TFound& f) { return SameText(f.Name, original); });
        if (it == found.end())
            it = found.insert(found.end(), TFound{original, 0});
        if (header->Count != 0 && header->Count == header->Number)
            it->Count = header->Count;
    }

    TJoinPlan plan;
    const std::wstring folder = WithSeparator(Folder);
    for (TFound& original : found) {
        const std::wstring base = folder + original.Name;
        std::wstring missing;
        if (original.Count == 0) {
            for (uint32_t number = 1; original.Count == 0; ++number) {
                const std::wstring part = SplitPartName(base, number);
                const std::optional<TSplitHeader> header = files_.Info(part) ? IsValidSplitPart(part) : std::nullopt;
                if (!header) {
                    missing = part;
                    break;
                }
                if (header->Count == number)
                    original.Count = number;
            }
        } else {
            for (uint32_t number = 1; number <= original.Count && missing.empty(); ++number)
                if (!files_.Info(SplitPartName(base, number)))
                    missing = SplitPartName(base, number);
        }
        if (!missing.empty()) {
            ui_.Ask(MissingPartText(NameOf(missing), original.Name), TSplitBoxKind::Error, sbOk | sbHelp);
            continue;
        }
        const size_t index = plan.Originals.size();
        plan.Originals.push_back(original.Name);
        for (uint32_t number = 1; number <= original.Count; ++number)
            plan.Work.push_back({SplitPartName(base, number), index, number});
    }
    return plan;
}

bool TSplitJoin::RunJoin(const TJoinPlan& Plan, const std::wstring& TargetDir)
{
    // A problem with any part gives its original up: its later parts are
    // skipped, and its times and attributes are never set.
    std::vector<bool> failed(Plan.Originals.size(), false);
    std::vector<uint32_t> endSoFar(Plan.Originals.size(), 0);
    const std::wstring target = WithSeparator(TargetDir);
    for (const TJoinWork& work : Plan.Work) {
        ui_.Label(NameOf(work.Part) + L" wird zusammengesetzt...");
        if (!failed[work.Original]) {
            bool problem = false;
            uint32_t end = 0;
            if (!CombineFileParts(work, Plan.Originals[work.Original], target, endSoFar[work.Original], end, problem))
                return false;
            failed[work.Original] = problem;
            endSoFar[work.Original] = end;
        }
        if (ui_.Stopped())
            return false;
        ui_.Step();
    }
    return true;
}

bool TSplitJoin::CombineFileParts(const TJoinWork& Work, const std::wstring& Original, const std::wstring& TargetDir,
                                  uint32_t ExpectedStart, uint32_t& EndAfter, bool& Problem)
{
    Problem = true;
    const std::unique_ptr<TSplitFile> part = files_.OpenRead(Work.Part);
    if (!part)
        return IgnoreOrCancel(WithError(OpenFailedText(Work.Part)));
    TSplitHeaderBytes bytes{};
    size_t got = 0;
    while (got < bytes.size()) {
        const int64_t n = part->Read(bytes.data() + got, static_cast<uint32_t>(bytes.size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    const std::optional<TSplitHeader> header = DecodeSplitHeader(std::span<const uint8_t>(bytes.data(), got));
    const std::optional<TSplitFileInfo> partInfo = files_.Info(Work.Part);
    // The part must be the one the plan expects where it was found, and
    // continue the original where the part before it ended.
    if (!header || !partInfo || !IsJoinablePart(*header, DecodeName(header->Name), NameOf(Work.Part), partInfo->Size) ||
        !SameText(DecodeName(header->Name), Original) || header->Number != Work.Number ||
        header->Start != ExpectedStart)
        return IgnoreOrCancel(InvalidPartText(Work.Part));

    const std::wstring target = TargetDir + Original;
    const bool first = Work.Number == 1;
    if (first) {
        if (const std::optional<TSplitFileInfo> existing = files_.Info(target)) {
            const bool readOnly = existing->Attributes & kSplitReadOnly;
            const std::wstring question =
                readOnly ? Quoted(L"Die Datei ", target,
                                  L" ist bereits vorhanden und schreibgeschützt. Trotzdem "
                                  L"überschreiben?")
                         : Quoted(L"Die Datei ", target, L" ist bereits vorhanden. Überschreiben?");
            const TSplitButton answer = ui_.Ask(question, TSplitBoxKind::Confirmation, sbYes | sbNo | sbCancel);
            if (answer == sbCancel)
                return false;
            if (answer != sbYes)
                return true;
            if (readOnly && !files_.SetAttributes(target, existing->Attributes & ~kSplitReadOnly))
                return IgnoreOrCancel(WithError(WriteFailedText(target)));
        }
    }
    bool created = false;
    std::unique_ptr<TSplitFile> out = files_.OpenWrite(target, first, created);
    if (!out)
        return IgnoreOrCancel(WithError(OpenFailedText(target)));
    if (created)
        files_.AnnounceCreated(target);

    const uint32_t length = header->End - header->Start;
    std::vector<uint8_t> buffer(SplitCopyBlock(length));
    uint32_t done = 0;
    bool writeFailed = false;
    std::wstring writeError;
    while (done < length) {
        const uint32_t want = std::min<uint32_t>(static_cast<uint32_t>(buffer.size()), length - done);
        const TSplitCopy copy = part->CopyTo(*out, uint64_t{header->Start} + done, want, buffer);
        if (copy.Read != static_cast<int64_t>(want))
            return IgnoreOrCancel(WithError(ReadFailedText(Work.Part)));
        if (copy.Written != copy.Read) {
            writeFailed = true;
            writeError = files_.LastErrorText();
            break;
        }
        done += want;
    }
    if (!writeFailed && header->Count != 0 && !out->SetEnd(header->End)) {
        writeFailed = true;
        writeError = files_.LastErrorText();
    }
    if (writeFailed)
        return IgnoreOrCancel(WriteFailedText(target) + L"\r\r" + writeError);
    EndAfter = header->End;
    Problem = false;
    if (header->Count != 0) {
        out.reset();
        // The joined file is whole: the original's times and attributes
        // (without them the data is still whole).
        if (!files_.SetTimes(target, header->Created, header->Written))
            TraceIgnoredFailure(L"the times of a joined file");
        if (!files_.SetAttributes(target, header->Attributes & kSplitRestoredAttributes))
            TraceIgnoredFailure(L"the attributes of a joined file");
    }
    return true;
}

}  // namespace qrv

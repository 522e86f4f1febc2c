#include "mainwindow/FileVerify.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr int kDriveRemovable = 2;

std::wstring FileName(const std::wstring& Path)
{
    const size_t slash = Path.find_last_of(L'\\');
    return slash == std::wstring::npos ? Path : Path.substr(slash + 1);
}

std::wstring Counted(unsigned Count, const wchar_t* What)
{
    return std::to_wstring(Count) + (Count == 1 ? L" Datei " : L" Dateien ") + What;
}

int64_t CountFolder(TVerifyFiles& Files, const std::wstring& Folder, int64_t Block)
{
    int64_t steps = 0;
    for (const TVerifyEntry& entry : Files.List(Folder)) {
        if (!entry.Directory)
            steps += VerifyFileSteps(entry.Size, Block);
        else if (!entry.ReparsePoint)
            steps += CountFolder(Files, Folder + L"\\" + entry.Name, Block);
    }
    return steps;
}

class TVerifyRun {
public:
    TVerifyRun(TVerifyFiles& Files, int64_t Block, const TVerifyUi& Ui) : files_(Files), block_(Block), ui_(Ui) {}

    // False when the run is to stop.
    bool Item(const TVerifyEntry& Item)
    {
        if (!Item.Directory)
            return File(Item.Name, Item.Size);
        return Item.ReparsePoint || Folder(Item.Name);
    }
    TVerifyCounts Counts() const { return counts_; }
    void Stop() { counts_.Stopped = true; }

private:
    bool Folder(const std::wstring& Path)
    {
        const std::vector<TVerifyEntry> entries = files_.List(Path);
        for (const TVerifyEntry& entry : entries)
            if (!entry.Directory && !File(Path + L"\\" + entry.Name, entry.Size))
                return false;
        for (const TVerifyEntry& entry : entries)
            if (entry.Directory && !entry.ReparsePoint && !Folder(Path + L"\\" + entry.Name))
                return false;
        return true;
    }

    bool File(const std::wstring& Path, int64_t Size)
    {
        if (ui_.Terminating && ui_.Terminating()) {
            Stop();
            return false;
        }
        if (ui_.SetLabel)
            ui_.SetLabel(VerifyLabel(FileName(Path)));
        bool goOn = true;
        switch (VerifyFile(files_, Path, Size, block_, ui_, buffer_)) {
        case TVerifyOutcome::Aborted:
            Stop();
            return false;
        case TVerifyOutcome::NotOpened:
            ++counts_.Faulty;
            break;
        case TVerifyOutcome::ShortRead:
            ++counts_.Faulty;
            goOn = !ui_.ReadFailed || ui_.ReadFailed(Path);
            break;
        case TVerifyOutcome::Read:
            ++counts_.Readable;
            break;
        }
        if (ui_.Step)
            ui_.Step();
        if (!goOn)
            Stop();
        return goOn;
    }

    TVerifyFiles& files_;
    int64_t block_;
    const TVerifyUi& ui_;
    std::vector<uint8_t> buffer_;
    TVerifyCounts counts_;
};

}  // namespace

int64_t VerifyBlockSize(int DriveType)
{
    return DriveType == kDriveRemovable ? kVerifyBlockRemovable : kVerifyBlock;
}

int64_t VerifyFileSteps(int64_t Size, int64_t Block)
{
    const int64_t size = std::max<int64_t>(Size, 0);
    return size / Block + 1 + (size % Block != 0 ? 1 : 0);
}

TVerifyOutcome VerifyFile(TVerifyFiles& Files, const std::wstring& Name, int64_t Size, int64_t Block,
                          const TVerifyUi& Ui, std::vector<uint8_t>& Buffer)
{
    std::unique_ptr<TCompareFile> file;
    for (;;) {
        uint32_t error = 0;
        file = Files.Open(Name, error);
        if (file)
            break;
        const TOpenFailedAnswer answer = Ui.OpenFailed ? Ui.OpenFailed(Name, error) : TOpenFailedAnswer::Ignore;
        if (answer == TOpenFailedAnswer::Abort)
            return TVerifyOutcome::Aborted;
        if (answer == TOpenFailedAnswer::Ignore)
            return TVerifyOutcome::NotOpened;
    }
    // A block is read in pieces that stay in the processor's cache.
    const int64_t piece = std::min(Block, kVerifyPiece);
    if (Buffer.size() < static_cast<size_t>(piece))
        Buffer.resize(static_cast<size_t>(piece));
    // Only the bytes the file held when it was counted are read: a file that
    // grows meanwhile (a log being written) is not taken for a faulty one.
    int64_t done = 0;
    bool failed = false;
    while (done < Size && !failed) {
        const int64_t blockEnd = std::min(Size, done + Block);
        while (done < blockEnd) {
            const int64_t read = file->Read(Buffer.data(), std::min(piece, blockEnd - done));
            if (read <= 0) {
                failed = true;
                break;
            }
            done += read;
        }
        if (Ui.Step)
            Ui.Step();
        if (Ui.Cancelled && Ui.Cancelled())
            return TVerifyOutcome::Aborted;
    }
    return done == std::max<int64_t>(Size, 0) ? TVerifyOutcome::Read : TVerifyOutcome::ShortRead;
}

int64_t CountVerifySteps(TVerifyFiles& Files, const std::vector<TVerifyEntry>& Items, int64_t Block)
{
    int64_t steps = 0;
    for (const TVerifyEntry& item : Items) {
        if (!item.Directory)
            steps += VerifyFileSteps(item.Size, Block);
        else if (!item.ReparsePoint)
            steps += CountFolder(Files, item.Name, Block);
    }
    return steps > 1 ? steps - 1 : steps;
}

TVerifyCounts RunVerification(TVerifyFiles& Files, const std::vector<TVerifyEntry>& Items, int64_t Block,
                              const TVerifyUi& Ui)
{
    TVerifyRun run(Files, Block, Ui);
    for (const TVerifyEntry& item : Items)
        if (!run.Item(item))
            break;
    return run.Counts();
}

TVerifySummary VerifySummary(const TVerifyCounts& Counts)
{
    TVerifySummary summary;
    if (Counts.Faulty == 0) {
        summary.Show = true;
        summary.Text = Counted(Counts.Readable, L"fehlerfrei lesbar.");
        return summary;
    }
    summary.Faulty = true;
    summary.Show = !(Counts.Faulty == 1 && Counts.Readable == 0);
    if (Counts.Readable > 0)
        summary.Text = Counted(Counts.Readable, L"fehlerfrei lesbar.") + L"\n";
    summary.Text += Counted(Counts.Faulty, L"fehlerhaft.");
    return summary;
}

std::wstring VerifyLabel(const std::wstring& FileName)
{
    return L"Prüfe \"" + FileName + L"\"";
}

}  // namespace qrv

#pragma once
// An in-memory file system for the split and join engine: files by path
// (case-insensitive, as on Windows), with failures to order (a file that
// cannot be opened, a write that stops short, a full drive) and a record of
// what was written where. Used by the engine's tests and its fuzz target.

#include "framework/SysUtils.h"
#include "mainwindow/SplitJoin.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qrv::test {

struct TMemoryEntry {
    std::wstring Path;  // as it was made
    std::string Bytes;
    uint64_t Created = 0;
    uint64_t Written = 0;
    uint32_t Attributes = 0x20;
};

class TMemorySplitFiles : public TSplitFileSystem {
public:
    std::map<std::wstring, TMemoryEntry> Files;  // by upper-case path
    std::set<std::wstring> Unopenable;           // upper-case paths
    // Writes into this file (upper-case path) stop once it holds WriteLimit bytes.
    std::wstring ShortWritesOf;
    uint64_t WriteLimit = 0;
    // No file may grow beyond this (the fuzz target's bound).
    uint64_t LargestFile = uint64_t{1} << 32;
    std::function<std::optional<uint64_t>(const std::wstring& Root)> Free;
    TSplitDriveKind Kind = TSplitDriveKind::Other;
    std::vector<std::wstring> Announced;
    std::vector<std::wstring> WrittenPaths;  // every write, in order
    uint64_t Clock = 1000;                   // the time a write gives a file

    void Put(const std::wstring& Path, std::string Bytes, uint32_t Attributes = 0x20, uint64_t Created = 1,
             uint64_t Written = 2)
    {
        Files[UpperCase(Path)] = {Path, std::move(Bytes), Created, Written, Attributes};
    }
    TMemoryEntry* Find(const std::wstring& Path)
    {
        const auto it = Files.find(UpperCase(Path));
        return it == Files.end() ? nullptr : &it->second;
    }
    std::string Bytes(const std::wstring& Path)
    {
        const TMemoryEntry* entry = Find(Path);
        return entry ? entry->Bytes : std::string("<missing>");
    }

    std::unique_ptr<TSplitFile> OpenRead(const std::wstring& Path) override
    {
        TMemoryEntry* entry = Find(Path);
        if (!entry || Unopenable.count(UpperCase(Path)) || (entry->Attributes & kSplitDirectory))
            return nullptr;
        return std::make_unique<TFile>(*this, *entry);
    }
    std::unique_ptr<TSplitFile> OpenWrite(const std::wstring& Path, bool Fresh, bool& Created) override
    {
        if (Unopenable.count(UpperCase(Path)))
            return nullptr;
        TMemoryEntry* entry = Find(Path);
        if (entry && (entry->Attributes & (kSplitReadOnly | kSplitDirectory)))
            return nullptr;
        Created = !entry;
        if (!entry) {
            Put(Path, {}, 0x20, Clock, Clock);
            entry = Find(Path);
        } else if (Fresh) {
            entry->Bytes.clear();
        }
        WrittenPaths.push_back(Path);
        return std::make_unique<TFile>(*this, *entry);
    }
    std::optional<TSplitFileInfo> Info(const std::wstring& Path) override
    {
        const TMemoryEntry* entry = Find(Path);
        if (!entry)
            return std::nullopt;
        return TSplitFileInfo{entry->Bytes.size(), entry->Created, entry->Written, entry->Attributes};
    }
    bool SetTimes(const std::wstring& Path, uint64_t Created, uint64_t Written) override
    {
        TMemoryEntry* entry = Find(Path);
        if (!entry)
            return false;
        entry->Created = Created;
        entry->Written = Written;
        return true;
    }
    bool SetAttributes(const std::wstring& Path, uint32_t Attributes) override
    {
        TMemoryEntry* entry = Find(Path);
        if (!entry)
            return false;
        entry->Attributes = Attributes;
        return true;
    }
    bool Delete(const std::wstring& Path) override { return Files.erase(UpperCase(Path)) > 0; }
    std::optional<uint64_t> FreeSpace(const std::wstring& Root) override
    {
        return Free ? Free(Root) : std::optional<uint64_t>(uint64_t{1} << 40);
    }
    TSplitDriveKind DriveKind(const std::wstring&) override { return Kind; }
    std::wstring LastErrorText() override { return L"Fehler der Probe."; }
    void AnnounceCreated(const std::wstring& Path) override { Announced.push_back(Path); }

private:
    class TFile : public TSplitFile {
    public:
        TFile(TMemorySplitFiles& Owner, TMemoryEntry& Entry) : owner_(Owner), entry_(Entry) {}
        int64_t Read(uint8_t* Buffer, uint32_t Count) override
        {
            const size_t n = std::min<size_t>(Count, entry_.Bytes.size() - std::min(pos_, entry_.Bytes.size()));
            if (n)
                std::memcpy(Buffer, entry_.Bytes.data() + pos_, n);
            pos_ += n;
            return static_cast<int64_t>(n);
        }
        int64_t WriteAt(uint64_t Offset, const uint8_t* Buffer, uint32_t Count) override
        {
            uint64_t limit = owner_.LargestFile;
            if (UpperCase(entry_.Path) == owner_.ShortWritesOf)
                limit = std::min(limit, owner_.WriteLimit);
            if (Offset >= limit)
                return 0;
            const uint64_t n = std::min<uint64_t>(Count, limit - Offset);
            if (entry_.Bytes.size() < Offset + n)
                entry_.Bytes.resize(Offset + n, '\0');
            std::memcpy(entry_.Bytes.data() + Offset, Buffer, n);
            entry_.Written = owner_.Clock;
            return static_cast<int64_t>(n);
        }
        bool SetEnd(uint64_t Size) override
        {
            if (Size > owner_.LargestFile)
                return false;
            entry_.Bytes.resize(Size, '\0');
            return true;
        }

    private:
        TMemorySplitFiles& owner_;
        TMemoryEntry& entry_;
        size_t pos_ = 0;
    };
};

// The user's side: each question is recorded and answered from a queue (or
// by a rule); the progress steps are counted.
struct TRecordingSplitUi {
    std::vector<std::wstring> Asked;
    std::vector<TSplitButton> Answers;  // taken in order; when empty, Default
    std::function<TSplitButton(const std::wstring&, uint8_t)> Default = [](const std::wstring&, uint8_t buttons) {
        return buttons & sbOk ? sbOk : buttons & sbYes ? sbYes : sbIgnore;
    };
    std::vector<std::wstring> Labels;
    int Steps = 0;
    bool Stop = false;

    TSplitJoinUi Ui()
    {
        TSplitJoinUi ui;
        ui.Ask = [this](const std::wstring& text, TSplitBoxKind, uint8_t buttons) {
            Asked.push_back(text);
            if (Answers.empty())
                return Default(text, buttons);
            const TSplitButton answer = Answers.front();
            Answers.erase(Answers.begin());
            return answer;
        };
        ui.Label = [this](const std::wstring& text) { Labels.push_back(text); };
        ui.Step = [this] { ++Steps; };
        ui.Stopped = [this] { return Stop; };
        return ui;
    }
};

}  // namespace qrv::test

#include "archives/ZipCommands.h"

#include "archives/ZipNamePattern.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstdio>

namespace qrv {

namespace {

int32_t Flag(bool on)
{
    return on ? QRV_ZIP_TRUE : 0;
}

// What both records take alike from the settings.
template <class TRecord>
void FillRunFields(TRecord& record, const TZipRunSettings& settings, TRecordTexts& texts)
{
    record.Handle = settings.Unattended ? nullptr : settings.ParentWindow;
    record.Caller = settings.Caller;
    record.Version = settings.Version;
    record.Callback = settings.Callback;
    record.fTraceEnabled = Flag(settings.Trace);
    record.fVerboseEnabled = Flag(settings.Verbose || settings.Trace);
    record.Password = texts.Keep(settings.Password);
    record.ZipFileName = texts.Keep(settings.ZipFileName);
    record.fSeven = QRV_ZIP_RECORD_END;
}

}  // namespace

const char* TRecordTexts::Keep(const std::wstring& Text)
{
    return Text.empty() ? nullptr : KeepBytes(WideToUtf8(Text));
}

const char* TRecordTexts::KeepBytes(std::string Bytes)
{
    return texts_.emplace_back(std::move(Bytes)).c_str();
}

std::string ZipFromDateText(TDateTime Day)
{
    const uint16_t date = DateTimeToDosDate(Day);
    if (date == 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%02u %02u %02u", (date >> 5) & 15u, date & 31u, ((date >> 9) + 1980u) % 100u);
    return text;
}

TUnzCommandRecord::TUnzCommandRecord(const TUnzSettings& Settings)
{
    FillRunFields(record_, Settings, texts_);
    const unsigned options = Settings.ExtrOptions;
    record_.fTest = Flag(options & ExtrTest);
    record_.fQuiet = QRV_ZIP_TRUE;
    record_.fUpdate = Flag(options & ExtrUpdate);
    // Update takes in what freshen would, and new files too.
    record_.fFreshen = Flag((options & ExtrFreshen) && !(options & ExtrUpdate));
    record_.fDirectories = Flag(options & ExtrDirNames);
    record_.fOverwrite = Flag(options & ExtrOverWrite);
    // "*.*" first means every entry: no names are passed.
    if (!(Settings.Specs.empty() || Settings.Specs.front() == L"*.*")) {
        for (const std::wstring& spec : Settings.Specs) {
            UnzFileSpec record{};
            record.FileSpec = texts_.KeepBytes(WideToUtf8(spec));
            specs_.push_back(record);
        }
    }
    record_.SpecCount = int32_t(specs_.size());
    record_.Specs = specs_.empty() ? nullptr : specs_.data();
    record_.PasswordReqCount = int32_t(Settings.PasswordReqCount);
    record_.ExtractDir = texts_.Keep(Settings.ExtrBaseDir);
    record_.fUseOutStream = Flag(Settings.ToStream);
}

TZipCommandRecord::TZipCommandRecord(const TZipSettings& Settings)
{
    FillRunFields(record_, Settings, texts_);
    const unsigned options = Settings.AddOptions;
    record_.Level = std::clamp(Settings.AddCompLevel, 0, 9);
    record_.fMove = Flag(options & AddMove);
    record_.fUpdate = Flag(options & AddUpdate);
    record_.fFreshen = Flag((options & AddFreshen) && !(options & AddUpdate));
    record_.fZipTime = Flag(options & AddZipTime);
    record_.fForceDOS = Flag(options & AddForceDOS);
    record_.fHidden = Flag(options & AddHiddenFiles);
    record_.fEncrypt = Flag(options & AddEncrypt);
    record_.fDirNames = Flag(options & AddDirNames);
    record_.fRecurse = Flag(options & AddRecurseDirs);
    record_.fVolume = Flag(options & AddVolume);
    if (options & AddFromDate) {
        if (std::string day = ZipFromDateText(Settings.AddFrom); !day.empty())
            record_.FromDate = texts_.KeepBytes(std::move(day));
    }
    record_.TempDir = texts_.Keep(Settings.TempDir);
    record_.RootDir = texts_.Keep(Settings.RootDir);
    // ">" in front adds the files encrypted, "|" without encryption even
    // when AddEncrypt is set, and "<" gives them a password of their own.
    const bool encrypt = (options & AddEncrypt) != 0;
    for (const std::wstring& arg : Settings.Specs) {
        const TZipNamePattern pattern = ParseZipNamePattern(arg, encrypt);
        ZipFileSpec record{};
        record.FileSpec = texts_.KeepBytes(WideToUtf8(pattern.Spec));
        record.Encrypt = pattern.Encrypt ? QRV_ZIP_TRUE : encrypt ? QRV_ZIP_SPEC_PLAIN : 0;
        record.PasswordGiven = Flag(pattern.PasswordGiven);
        record.Password = pattern.PasswordGiven ? texts_.KeepBytes(WideToUtf8(pattern.Password)) : nullptr;
        record.RootDir = record_.RootDir;
        specs_.push_back(record);
    }
    for (const std::wstring& spec : Settings.Excludes) {
        ZipFileSpec record{};
        record.FileSpec = texts_.KeepBytes(WideToUtf8(spec));
        excludes_.push_back(record);
    }
    record_.SpecCount = int32_t(specs_.size());
    record_.Specs = specs_.empty() ? nullptr : specs_.data();
    record_.ExclCount = int32_t(excludes_.size());
    record_.Excludes = excludes_.empty() ? nullptr : excludes_.data();
    if (Settings.FromStream) {
        record_.fUseInStream = QRV_ZIP_TRUE;
        record_.InStream = const_cast<void*>(Settings.InStream);
        record_.InStreamSize = Settings.InStreamSize;
    }
    record_.fUndoDelete = Flag(Settings.HowToDelete == htdAllowUndo);
    record_.CodePage = Settings.CodePage == cpOEM ? 2 : 0;
    record_.Action = Settings.Action;
    record_.StoreSuffixes = texts_.KeepBytes(StoreSuffixList(Settings.AddStoreSuffixes, Settings.ExtAddStoreSuffixes));
}

}  // namespace qrv

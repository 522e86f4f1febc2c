#pragma once
// The archive list's runs of its readers and what it makes of their
// reports: each kind's extraction and test between their start and end
// events, the lines of the message list, the count of files done, the
// overwrite rule every reader keeps (a read-only file that may be replaced
// is deleted first), CRC errors and the password questions. Portable: the
// zip component comes in as a TZipRunner, the files and the questions as
// functions, so the host build runs it over the readers' cores as the
// list does over the libraries.

#include "archives/ArchiveOperations.h"
#include "archives/ZipCallback.h"
#include "archives/ZipDirectory.h"
#include "framework/StringList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TKyRAR;
class TKyACE2;

// The zip component as a run drives it.
struct TZipRunner {
    // One extraction (or, with ExtrTest, a test) of these name patterns.
    std::function<void(const std::vector<std::wstring>& specs, unsigned extrOptions, const std::wstring& baseDir)>
        Extract;
    std::function<int()> SuccessCount;
    std::function<int()> ErrCode;
    std::function<bool()> Cancelled;
    std::function<void(bool cancel)> SetCancel;
    // The archive's entries as the component listed them.
    std::function<const TZipEntries&()> Contents;
};

// What the overwrite rule asks of the file system.
struct TRunFiles {
    std::function<bool(const std::wstring& path)> Exists;
    // The file's last write as a packed local DOS date-time (0: unknown).
    std::function<uint32_t(const std::wstring& path)> DosTime;
    std::function<bool(const std::wstring& path)> IsReadOnly;
    // Deletes a read-only file, clearing its attributes when needed.
    std::function<bool(const std::wstring& path)> DeleteReadOnly;
};

class TArchiveRuns {
public:
    // --- the list's events (the list adds itself as the sender)
    std::function<void(int code, const std::wstring& text)> OnMessage;
    std::function<void(int done)> OnProgress;
    std::function<void(int total)> OnStartExtract;
    std::function<void()> OnEndExtract;
    // A damaged entry; DoExtract comes in false.
    std::function<void(const std::wstring& file, uint32_t found, uint32_t expected, bool& doExtract)> OnCRC32Error;
    // The overwrite question, with the answer proposed; nullopt when
    // nobody answers it.
    std::function<std::optional<bool>(const std::wstring& folder, const std::wstring& file, int64_t size,
                                      uint32_t dosTime, bool isOlder, bool proposed)>
        Overwrite;
    // The zip libraries' own password event; false when it is not handled.
    std::function<bool(std::wstring& password, const std::wstring& file, uint32_t& repeat)> ZipPasswordEvent;
    // The password question; "" when the user cancelled.
    std::function<std::wstring(const std::wstring& file)> AskPassword;
    std::function<bool()> ConfirmOverwrite;
    TRunFiles Files;
    // A RAR stored name (OEM code page) as text.
    std::function<std::wstring(std::string_view oemName)> OemToText;

    // --- the readers' reports come here
    void WireZip(TZipCallbackEvents& events, TZipRunner& zip);
    void WireRar(TKyRAR& rar);
    void WireAce(TKyACE2& ace);

    // --- the runs (true on success); Count is what OnStartExtract tells.
    // Names: stored names, or the one "*.*" for a whole zip archive.
    bool ExtractZip(TZipRunner& zip, const std::vector<std::wstring>& names, const std::wstring& folder,
                    bool useStoredPaths, int archiveFiles);
    bool TestZip(TZipRunner& zip, const std::wstring& baseDir, int archiveFiles);
    bool ExtractRar(TKyRAR& rar, const std::vector<std::wstring>& names, const std::wstring& folder,
                    bool useStoredPaths);
    bool TestRar(TKyRAR& rar, int count);
    bool ExtractAce(TKyACE2& ace, const std::vector<std::wstring>& names, const std::wstring& folder,
                    bool useStoredPaths);
    bool TestAce(TKyACE2& ace, int count);
    // A run of a reader that raises no start and end events itself.
    bool Announced(int count, const std::function<bool()>& run);

    // Before each run: the count of files done and the CRC errors start
    // anew.
    void BeginRun(bool useStoredPaths);
    // At opening and before each extraction or test.
    void ForgetPassword();

    // --- shared with the cabinet reader, whose wiring is the list's
    void Report(int code, const std::wstring& text);
    void FileDone(TFileReport kind, bool ok, const std::wstring& name, int done);
    // Whether an existing Target may be replaced by an entry of this size
    // and time; a read-only file that may is deleted first.
    bool MayReplace(const std::wstring& target, int64_t size, uint32_t dosTime);

    TStringList Messages;
    // The password typed last (kept for writing an entry back).
    const std::wstring& Password() const { return password_; }
    int CrcErrors() const { return crcErrors_; }

private:
    void ZipProgress(int type, uint64_t value);
    void CrcError(const std::wstring& file, uint32_t found, uint32_t expected, bool& doExtract);
    void ZipOverwrite(TZipRunner& zip, const std::wstring& file, bool isOlder, bool& doOverwrite);
    void ZipPassword(TZipRunner& zip, std::u16string& password, const std::u16string& forFile, uint32_t& repeat,
                     TPasswordButton& button);
    std::wstring ReaderPassword(const std::wstring& fileName, bool& stop);
    bool Confirm() const { return ConfirmOverwrite && ConfirmOverwrite(); }

    std::wstring password_;
    std::wstring passwordAskedFor_;  // the file the remembered password was typed for
    std::wstring zipBaseDir_;
    int progress_ = 0;
    int crcErrors_ = 0;
    bool readerUsePaths_ = true;
};

}  // namespace qrv

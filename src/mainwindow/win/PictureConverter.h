#pragma once
// TPictureConverter: pictures the program does not decode itself go to an
// external converter run hidden in the background: it gets the file name by
// WM_COPYDATA on its window (class "IrfanView") and answers by putting the
// picture, or a message, on the clipboard. The clipboard is everybody's, so
// every use is serialised by a named mutex across instances, and what was on
// it is kept before the send and put back afterwards; only what appeared
// after the send is taken as the answer.

#include "common/ClipboardSnapshotPlan.h"
#include "common/win/ClipboardSnapshot.h"
#include "framework/win/Handles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

class TMutex;

// What the converter needs of the main window.
class TPictureConverterHost {
public:
    virtual ~TPictureConverterHost() = default;
    // The converter program; empty when none is set.
    virtual std::wstring ConverterPath() = 0;
    // The window that starts it, sends and owns the clipboard meanwhile.
    virtual HWND ConverterOwner() = 0;
    // The mutex every instance takes around a use; nullptr: none made.
    virtual TMutex* ConverterMutex() = 0;
    // The folder the converter is started in.
    virtual std::wstring ProgramFolder() = 0;
    // Handles waiting messages while the converter starts.
    virtual void ProcessMessages() = 0;
};

// A host made of calls, for wiring the converter into a window.
class TPictureConverterCalls : public TPictureConverterHost {
public:
    std::function<std::wstring()> Path;
    std::function<HWND()> Owner;
    std::function<TMutex*()> Mutex;
    std::function<std::wstring()> Folder;
    std::function<void()> Messages;

    std::wstring ConverterPath() override { return Path ? Path() : std::wstring(); }
    HWND ConverterOwner() override { return Owner ? Owner() : nullptr; }
    TMutex* ConverterMutex() override { return Mutex ? Mutex() : nullptr; }
    std::wstring ProgramFolder() override { return Folder ? Folder() : std::wstring(); }
    void ProcessMessages() override
    {
        if (Messages)
            Messages();
    }
};

enum class TConvertOutcome {
    Picture,             // Bitmap (and Palette) hold it
    ConverterMessage,    // Text holds the converter's own message
    NothingUsable,       // the answer held neither a picture nor a message
    CommunicationError,  // the send failed or timed out
    Busy,                // the mutex was not had in time
    NotAvailable,        // no converter to send to
};

struct TConvertResult {
    TConvertOutcome Outcome = TConvertOutcome::NotAvailable;
    std::wstring Text;
    TGdiObject Bitmap;
    TGdiObject Palette;
    int Width = 0;
    int Height = 0;
};

class TPictureConverter {
public:
    explicit TPictureConverter(TPictureConverterHost& Host) : host_(Host) {}
    // A converter this object started is asked to end.
    ~TPictureConverter();
    TPictureConverter(const TPictureConverter&) = delete;
    TPictureConverter& operator=(const TPictureConverter&) = delete;

    // Starts the converter hidden when it runs not yet; true when its window
    // is known.
    [[nodiscard]] bool Start();
    // Sends the name: true when the converter took it (the send returned 0);
    // CommunicationFailed tells a failed or timed-out send from a refusal.
    [[nodiscard]] bool Send(const std::wstring& FileName, bool& CommunicationFailed);
    // The picture of FileName, the mutex waited for up to MutexWait ms. For
    // thumbnails (Reuse) the clipboard's snapshot is kept between calls and
    // taken again only when somebody wrote to the clipboard meanwhile.
    TConvertResult Convert(const std::wstring& FileName, uint32_t MutexWait, bool Reuse);

    // How long a send may take before it counts as failed.
    uint32_t SendTimeout = 15000;
    HWND Window() const { return window_; }
    DWORD ProcessId() const;
    // The clipboard formats the last snapshot could not keep.
    const std::vector<uint32_t>& LostFormats() const { return snapshot_.LostFormats(); }

private:
    HWND FindWindowOfProcess() const;
    // The converter went away: the next use starts it again.
    void Forget();
    TConvertResult ConvertHolding(const std::wstring& FileName, bool Reuse);

    TPictureConverterHost& host_;
    TKernelHandle process_;
    HWND window_ = nullptr;
    TClipboardSnapshot snapshot_;
    TClipboardSnapshotAge snapshotAge_;
};

}  // namespace qrv

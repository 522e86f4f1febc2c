#pragma once
// TFileDeleteThread: watches paths for a while after a drag or a shell
// command and reports, on the user-interface thread, those that have
// disappeared, so that the view showing them can bring itself up to date.

#include "common/VanishedFiles.h"
#include "framework/win/Handles.h"
#include "framework/win/Threads.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

class TFileDeleteThread : public TThread {
public:
    // Deleted holds one round's paths and is valid during the call only.
    using TDeletedEvent = std::function<void(TFileDeleteThread* Sender, const std::vector<std::wstring>& Deleted)>;

    // Starts at once. The owner keeps the thread and frees it before it
    // goes itself: freeing stops the watch and waits for its end, so that
    // no report reaches an owner that is gone.
    TFileDeleteThread(const std::vector<std::wstring>& Paths, TDeletedEvent OnDeleted,
                      int TimeOutSeconds = kVanishedFileTimeOutSeconds);
    ~TFileDeleteThread() override;

protected:
    void Execute() override;
    void TerminatedSet() override;

private:
    TDeletedEvent onDeleted_;
    std::vector<std::wstring> pending_;
    uint64_t endTime_;
    TKernelHandle wake_;
};

}  // namespace qrv

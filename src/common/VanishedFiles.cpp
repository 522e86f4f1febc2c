#include "common/VanishedFiles.h"

namespace qrv {

void PollVanishedFiles(std::vector<std::wstring> Pending, uint64_t EndTime, const TVanishedFileHooks& Hooks)
{
    std::vector<std::wstring> deleted;
    while (!Pending.empty()) {
        if (!Hooks.WaitRound()) {
            return;
        }
        std::vector<std::wstring> still;
        for (std::wstring& path : Pending) {
            if (Hooks.Exists(path)) {
                still.push_back(std::move(path));
            } else {
                deleted.push_back(std::move(path));
            }
        }
        Pending = std::move(still);
        if (!deleted.empty() && Hooks.Report) {
            Hooks.Report(deleted);
        }
        deleted.clear();
        if (Hooks.Now() >= EndTime) {
            return;
        }
    }
}

}  // namespace qrv

#pragma once
// The files one extraction run has written. Windows names a file alike in
// any case, so two entries of an archive whose names differ only in case
// (or not at all) would become one file, the later silently replacing the
// earlier: the later one is named apart instead, "<name> (1)<ext>" with the
// first number free, as a new item beside an existing one is. Portable.

#include <functional>
#include <string>
#include <unordered_set>

namespace qrv {

class TRunTargets {
public:
    // Exists tells whether a name is taken on the disk; a name apart is
    // never one that is.
    explicit TRunTargets(std::function<bool(const std::wstring&)> exists);

    // The name to write Target's file under: Target itself, unless the run
    // wrote a file of that name (in any case) already.
    std::wstring Free(const std::wstring& target) const;
    // Target's file was written by the run.
    void Written(const std::wstring& target);

private:
    std::function<bool(const std::wstring&)> exists_;
    std::unordered_set<std::wstring> written_;  // folded names
};

}  // namespace qrv

#pragma once
// What the Windows benchmarks share: the fixture folders on the test drive,
// made once and kept, the bare enumeration loop every result is set
// beside, and the clock arithmetic.

#include <chrono>
#include <string>

namespace qrv::bench {

double Milliseconds(std::chrono::steady_clock::duration d);

// Folder with Count empty files "f000000.txt"... (made when its last file is missing).
void MakeFileFolder(const std::wstring& folder, int count);
// Folder with Count empty subfolders "d00000"... (made when its last one is missing).
void MakeSubfolderFolder(const std::wstring& folder, int count);

// A bare FindFirstFileW/FindNextFileW loop over the folder: the number of
// entries ("." and ".." included), or of subfolders only.
int BareLoop(const std::wstring& folder);
int BareSubfolderLoop(const std::wstring& folder);

}  // namespace qrv::bench

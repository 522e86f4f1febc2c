#pragma once
// Text files the editor benchmarks load, made once on the test drive.

#include <cstddef>
#include <string>

namespace qrv::bench {

// Makes Name hold at least Bytes of CR LF lines of 78 ANSI characters (80
// with the break), each a nine-digit line number and Filler repeated; a file
// already that large is kept.
void MakeLinesFile(const std::wstring& name, size_t bytes, const std::string& filler);

}  // namespace qrv::bench

#include "external/FileIo.h"

#include <string>

namespace qrv::external {

TFilePtr OpenFile(const std::filesystem::path& Path, const char* Mode)
{
#ifdef _WIN32
    const std::string narrow(Mode);
    const std::wstring wideMode(narrow.begin(), narrow.end());
    TFilePtr file(_wfopen(Path.c_str(), wideMode.c_str()));
#else
    TFilePtr file(std::fopen(Path.c_str(), Mode));
#endif
    if (file)
        std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 18);
    return file;
}

bool SeekFile(std::FILE* File, uint64_t Offset)
{
#ifdef _WIN32
    return _fseeki64(File, static_cast<long long>(Offset), SEEK_SET) == 0;
#else
    return fseeko(File, static_cast<off_t>(Offset), SEEK_SET) == 0;
#endif
}

uint64_t TellFile(std::FILE* File)
{
#ifdef _WIN32
    return static_cast<uint64_t>(_ftelli64(File));
#else
    return static_cast<uint64_t>(ftello(File));
#endif
}

}  // namespace qrv::external

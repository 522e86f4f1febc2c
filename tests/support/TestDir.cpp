#include "TestDir.h"

#include "framework/FilePath.h"
#include "framework/SysUtils.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qrv::test {

namespace {
std::filesystem::path BaseFolder()
{
    if (const char* configured = std::getenv("QRV_TEST_DIR"); configured && *configured)
        return FsPath(Utf8ToWide(configured));
    return std::filesystem::temp_directory_path();
}
}  // namespace

TestDir::TestDir()
{
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path folder =
        BaseFolder() / ("qrvtest-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    path_ = FromFsPath(folder);
}

TestDir::~TestDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
}

std::wstring TestDir::File(const std::wstring& name) const
{
    return FromFsPath(FsPath(path_) / FsPath(name));
}

std::wstring TestDir::Write(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring file = File(name);
    std::ofstream out(FsPath(file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string TestDir::Read(const std::wstring& name) const
{
    std::ifstream in(FsPath(File(name)), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace qrv::test

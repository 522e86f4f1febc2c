#include "ExternalTestSupport.h"

#include "external/UnzipCore.h"
#include "external/ZipCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace qrv::test {

void WriteFile(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

// Tree names are UTF-8 on every system.
fs::path Utf8Path(const std::string& name)
{
    return fs::path(std::u8string(name.begin(), name.end()));
}

std::string Utf8Name(const fs::path& path)
{
    const std::u8string name = path.generic_u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

void WriteTree(const fs::path& root, const TTree& tree)
{
    for (const auto& [name, bytes] : tree)
        WriteFile(root / Utf8Path(name), bytes);
}

TTree ReadTree(const fs::path& root)
{
    TTree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            tree[Utf8Name(entry.path().lexically_relative(root))] = ReadFile(entry.path());
    return tree;
}

void ExpectSameTree(const TTree& actual, const TTree& expected)
{
    auto shape = [](const TTree& tree) {
        std::map<std::string, size_t> sizes;
        for (const auto& [name, bytes] : tree)
            sizes[name] = bytes.size();
        return sizes;
    };
    EXPECT_EQ(shape(actual), shape(expected));
    for (const auto& [name, bytes] : expected) {
        const auto it = actual.find(name);
        if (it != actual.end()) {
            EXPECT_TRUE(it->second == bytes) << "contents differ: " << name;
        }
    }
}

std::string TextBytes(size_t size, uint32_t seed)
{
    static const char* words[] = {"Archiv ", "Datei ", "Ordner ", "zip ", "Liste\n", "Eintrag ", "Größe ", "packen "};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size)
        text += words[random() % 8];
    text.resize(size);
    return text;
}

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool HaveTool(const std::string& name)
{
#ifdef _WIN32
    (void)name;
    return false;  // the oracles are Linux tools
#endif
    return Shell("command -v " + name + " >/dev/null 2>&1") == 0;
}

std::string Quote(const fs::path& path)
{
    return "'" + path.string() + "'";
}

std::vector<std::string> TCallbackLog::Texts(int32_t action) const
{
    std::vector<std::string> texts;
    for (const auto& call : Calls)
        if (call.ActionCode == action)
            texts.emplace_back(call.Msg);
    return texts;
}

size_t TCallbackLog::Count(int32_t action) const
{
    size_t n = 0;
    for (const auto& call : Calls)
        n += call.ActionCode == action ? 1 : 0;
    return n;
}

int32_t QRV_ZIPAPI RecordCallback(ZipCallbackData* data)
{
    auto* log = static_cast<TCallbackLog*>(data->Caller);
    const int32_t answer = log->Answer ? log->Answer(*data) : 0;
    log->Calls.push_back(*data);
    return answer;
}

int32_t TUnzipCall::Run()
{
    std::vector<UnzFileSpec> specs(Specs.size());
    for (size_t i = 0; i < Specs.size(); ++i)
        specs[i].FileSpec = Specs[i].c_str();
    UnzCommand cmd{};
    cmd.Caller = &Log;
    cmd.Version = QRV_UNZ_DLL_VERSION;
    cmd.Callback = RecordCallback;
    cmd.Password = HasPassword ? Password.c_str() : nullptr;
    cmd.fTest = Test ? QRV_ZIP_TRUE : 0;
    cmd.fQuiet = QRV_ZIP_TRUE;
    cmd.fUpdate = Update ? QRV_ZIP_TRUE : 0;
    cmd.fFreshen = Freshen ? QRV_ZIP_TRUE : 0;
    cmd.fDirectories = DirNames ? QRV_ZIP_TRUE : 0;
    cmd.fOverwrite = Overwrite ? QRV_ZIP_TRUE : 0;
    cmd.SpecCount = static_cast<int32_t>(specs.size());
    cmd.ZipFileName = Archive.c_str();
    cmd.Specs = specs.empty() ? nullptr : specs.data();
    cmd.PasswordReqCount = PasswordReqCount;
    cmd.ExtractDir = ExtractDir.empty() ? nullptr : ExtractDir.c_str();
    cmd.fSeven = QRV_ZIP_RECORD_END;
    const auto answer = Log.Answer;
    if (ToMemory) {
        cmd.fUseOutStream = QRV_ZIP_TRUE;
        Log.Answer = [&](ZipCallbackData& data) {
            if (data.ActionCode == zacStream) {
                Memory.assign(std::min<size_t>(size_t(data.FileSize), MemoryRoom), '\0');
                cmd.OutStream = Memory.data();
                cmd.OutStreamSize = static_cast<int32_t>(Memory.size());
            }
            return answer ? answer(data) : 0;
        };
    }
    const int32_t result = external::UnzipExec(&cmd, external::TUnzipHooks{});
    Log.Answer = answer;
    return result;
}

int32_t TZipCall::Run()
{
    std::vector<ZipFileSpec> specs(Specs.size()), excludes(Excludes.size());
    for (size_t i = 0; i < Specs.size(); ++i)
        specs[i].FileSpec = Specs[i].c_str();
    for (size_t i = 0; i < Excludes.size(); ++i)
        excludes[i].FileSpec = Excludes[i].c_str();
    ZipCommand cmd{};
    cmd.Caller = &Log;
    cmd.Version = QRV_ZIP_DLL_VERSION;
    cmd.Callback = RecordCallback;
    cmd.Password = Password.c_str();
    cmd.Level = Level;
    cmd.fMove = Move ? QRV_ZIP_TRUE : 0;
    cmd.fUpdate = Update ? QRV_ZIP_TRUE : 0;
    cmd.fFreshen = Freshen ? QRV_ZIP_TRUE : 0;
    cmd.fHidden = QRV_ZIP_TRUE;
    cmd.fEncrypt = Encrypt ? QRV_ZIP_TRUE : 0;
    cmd.fDirNames = DirNames ? QRV_ZIP_TRUE : 0;
    cmd.fRecurse = Recurse ? QRV_ZIP_TRUE : 0;
    cmd.ZipFileName = Archive.c_str();
    cmd.RootDir = RootDir.empty() ? nullptr : RootDir.c_str();
    cmd.SpecCount = static_cast<int32_t>(specs.size());
    cmd.Specs = specs.empty() ? nullptr : specs.data();
    cmd.ExclCount = static_cast<int32_t>(excludes.size());
    cmd.Excludes = excludes.empty() ? nullptr : excludes.data();
    cmd.Action = Action;
    cmd.StoreSuffixes = StoreSuffixes.c_str();
    if (FromMemory) {
        cmd.fUseInStream = QRV_ZIP_TRUE;
        cmd.InStream = Memory.data();
        cmd.InStreamSize = static_cast<int32_t>(Memory.size());
    }
    cmd.fSeven = QRV_ZIP_RECORD_END;
    return external::ZipExec(&cmd, external::TZipHooks{});
}

}  // namespace qrv::test

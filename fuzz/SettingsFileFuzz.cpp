// A settings file as it may lie on disk (hand-edited, truncated, from
// another version, in any encoding): reading it as an INI file, loading and
// saving the stored sections, writing the file and reading it back must
// end, stay in bounds and never throw, and the saved values read back.
#include "framework/FilePath.h"
#include "framework/StringList.h"
#include "settings/KyRegistry.h"
#include "settings/StoredSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qrv;
    // One file per process; the INI file reads only from disk.
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qrv_settings_fuzz_" + std::to_string(::getpid()) + ".ini");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TKyIniRegistry store(FromFsPath(path));
    TOptions options;
    SetDefaultOptions(options, TSystemFacts{});
    TMainWindowState state;
    state.List1.ColWidths = {150, 80, 120, 120, 45};
    state.List1.ColOrder = {0, 1, 2, 3, 4};
    state.List2 = state.List1;
    state.ZipList = state.List1;
    TStringList bookmarks;
    TStringList captions;
    TSettingsFacts facts;
    LoadStoredSettings(store, options, state, bookmarks, captions, facts);
    SaveStoredSettings(store, options, state, bookmarks, captions, facts, TSaveFlags{true, true, true});
    TStringList lines;
    store.IniFile().GetStrings(lines);
    // Written (lines that are no settings with their bytes) and read again:
    // what was saved reads back.
    store.UpdateFile();
    TMemIniFile saved(FromFsPath(path));
    if (saved.ReadInteger(L"Others", L"UpdateLevel", -1) != store.IniFile().ReadInteger(L"Others", L"UpdateLevel", -2))
        std::abort();
    saved.GetStrings(lines);
    return 0;
}

// A user command's parameter line and the names it is given, as the
// settings file and the folders hold them: the expansion must end, stay in
// bounds and never throw, a lone "[F]" must give the name quoted once, and
// the batch file's line must read back, as the command interpreter reads
// it, to exactly the line it was made from.
#include "mainwindow/CommandPlaceholders.h"
#include "mainwindow/DroppedNames.h"
#include "mainwindow/UserCommands.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Source : public qrv::TPlaceholderSource {
public:
    std::vector<qrv::TCommandItem> Items;
    std::vector<qrv::TCommandItem> SelectedItems() override { return Items; }
    std::optional<qrv::TCommandItem> FocusedItem() override
    {
        return Items.empty() ? std::nullopt : std::optional(Items.front());
    }
    std::optional<qrv::TCommandItem> OtherListSelection() override
    {
        return Items.size() > 1 ? std::optional(Items.back()) : std::nullopt;
    }
    std::wstring ShortPath(const std::wstring& FullPath) override { return FullPath.substr(0, 12); }
    std::optional<std::wstring> WriteListFile(const std::vector<std::wstring>&) override { return L"C:\\T\\L.TMP"; }
    std::optional<std::wstring> AskParameter(const std::wstring& Line) override { return Line.substr(0, 8); }
    std::optional<std::wstring> AskFile(unsigned Number, const std::wstring&) override
    {
        if (Number > 3)
            return std::nullopt;
        return L"C:\\Eins\\f [" + std::to_wstring(Number) + L"].txt";
    }
    std::optional<std::wstring> AskFolder(unsigned Number) override
    {
        return Number > 3 ? std::nullopt : std::optional<std::wstring>(L"C:\\Ordner [V]");
    }
    std::wstring TreeFolder() override { return L"C:\\Baum [\\]"; }
    std::wstring ListPath(int Index) override { return Index == 0 ? L"C:\\Eins" : L"D:\\"; }
    bool SecondWindowShown() override { return true; }
    std::wstring ActiveListPath() override { return L"C:\\Eins"; }
};

// The batch line as the command interpreter reads it: "^" outside quotes
// escapes the next character, "%%" is one "%"; then "/c" takes the outer
// quotes off.
std::wstring ReadBack(const std::wstring& Written)
{
    std::wstring read;
    bool quoted = false;
    for (size_t i = 0; i < Written.size(); ++i) {
        const wchar_t c = Written[i];
        if (c == L'"')
            quoted = !quoted;
        else if (c == L'%' && i + 1 < Written.size() && Written[i + 1] == L'%')
            ++i;
        else if (c == L'^' && !quoted && i + 1 < Written.size())
            ++i;
        read += Written[i];
    }
    if (read.size() < 2 || read.front() != L'"' || read.back() != L'"')
        std::abort();
    return read.substr(1, read.size() - 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // UTF-16 units: the parameter line, then after each 0x0000 one name.
    std::vector<std::wstring> parts(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            parts.emplace_back();
        else
            parts.back().push_back(unit);
    }
    Source source;
    for (size_t i = 1; i < parts.size() && i <= 6; ++i)
        source.Items.push_back({parts[i], L"C:\\Eins\\" + parts[i], i == 6});
    const qrv::TExpandResult result = qrv::ExpandCommandPlaceholders(parts[0], source);
    if (result.Status == qrv::TExpandStatus::Done) {
        const std::wstring text = qrv::BatchFileText(result.Line, true);
        const std::wstring prefix = L"@echo off\r\n%COMSPEC%  /c ";
        if (text.compare(0, prefix.size(), prefix) != 0 || text.size() < prefix.size() + 2)
            std::abort();
        if (ReadBack(text.substr(prefix.size(), text.size() - prefix.size() - 2)) != result.Line)
            std::abort();
    }
    if (!source.Items.empty() && source.Items.front().Name.find(L'"') == std::wstring::npos) {
        const qrv::TExpandResult single = qrv::ExpandCommandPlaceholders(L"[F]", source);
        if (single.Line != qrv::QuoteCommandArgument(source.Items.front().Name, qrv::TQuoting::Always))
            std::abort();
    }
    return 0;
}

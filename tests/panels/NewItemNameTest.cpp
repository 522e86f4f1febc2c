#include "panels/NewItemName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace qrv;

namespace {

// Makes NewItemName's choice real: each name chosen is created.
struct Folder {
    std::set<std::wstring> items;
    std::wstring Next(bool directory, uint32_t maxLength, const std::wstring& path = L"T:\\ordner")
    {
        const std::wstring name =
            NewItemName(path, directory, maxLength, [&](const std::wstring& p) { return items.count(p) != 0; });
        items.insert((path.back() == L'\\' ? path : path + L"\\") + name);
        return name;
    }
};

}  // namespace

TEST(NewItemName, CountsUpOnLongAndShortNameDrives)
{
    struct Case {
        bool directory;
        uint32_t maxLength;
        std::wstring first, second, third;
    };
    const Case cases[] = {
        {true, 255, L"Neues Verzeichnis", L"Neues Verzeichnis (1)", L"Neues Verzeichnis (2)"},
        {true, 22, L"Neues Verzeichnis", L"Neues Verzeichnis (1)", L"Neues Verzeichnis (2)"},
        {true, 21, L"NEU", L"NEU(1)", L"NEU(2)"},
        {true, 12, L"NEU", L"NEU(1)", L"NEU(2)"},
        {false, 255, L"Neue Datei", L"Neue Datei (1)", L"Neue Datei (2)"},
        {false, 15, L"Neue Datei", L"Neue Datei (1)", L"Neue Datei (2)"},
        {false, 14, L"NEU", L"NEU(1)", L"NEU(2)"},
    };
    for (const Case& c : cases) {
        Folder folder;
        EXPECT_EQ(folder.Next(c.directory, c.maxLength), c.first) << c.maxLength;
        EXPECT_EQ(folder.Next(c.directory, c.maxLength), c.second) << c.maxLength;
        EXPECT_EQ(folder.Next(c.directory, c.maxLength), c.third) << c.maxLength;
    }
}

TEST(NewItemName, TakenByAFileOfTheOtherKindAndAtTheDriveRoot)
{
    Folder folder;
    folder.items.insert(L"C:\\Neue Datei");  // a folder named like the file
    EXPECT_EQ(folder.Next(false, 255, L"C:\\"), L"Neue Datei (1)");
    EXPECT_EQ(NewItemName(L"C:\\x", true, 255, [](const std::wstring&) { return true; }), L"")
        << "a folder that claims every name gives up instead of hanging";
}

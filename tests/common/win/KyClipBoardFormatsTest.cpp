#include "common/win/KyClipBoardFormats.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

TEST(ShellClipboardFormats, AreTheSystemsRegisteredFormats)
{
    struct Case {
        UINT id;
        const wchar_t* name;
    };
    const Case cases[] = {
        {CFFileContents, L"FileContents"},
        {CFFileGroupDescriptor, L"FileGroupDescriptor"},
        {CFFileGroupDescriptorW, L"FileGroupDescriptorW"},
        {CFFileName, L"FileName"},
        {CFFileNameW, L"FileNameW"},
        {CFFileNameMap, L"FileNameMap"},
        {CFFileNameMapW, L"FileNameMapW"},
        {CFPreferredDropEffect, L"Preferred DropEffect"},
        {CFShellIDList, L"Shell IDList Array"},
        {CFShellObjectOffsets, L"Shell Object Offsets"},
        {CFUniformResourceLocator, L"UniformResourceLocator"},
    };
    std::set<UINT> ids;
    for (const Case& c : cases) {
        EXPECT_NE(c.id, 0u) << "not registered";
        EXPECT_EQ(c.id, RegisterClipboardFormatW(c.name));
        ids.insert(c.id);
    }
    EXPECT_EQ(ids.size(), std::size(cases)) << "every name has a format of its own";
}

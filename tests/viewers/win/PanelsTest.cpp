#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(InformationPanels, KeepThePathShown)
{
    TForm form(nullptr);
    auto* dirPanel = new TKyDirPanel(&form);
    auto* linkPanel = new TKyLinkPanel(&form);
    dirPanel->SetParent(&form);
    linkPanel->SetParent(&form);
    form.HandleNeeded();
    EXPECT_NE(dirPanel->Handle(), nullptr);
    EXPECT_NE(linkPanel->Handle(), nullptr);

    dirPanel->ShowDirectory(L"C:\\Windows");
    EXPECT_EQ(dirPanel->Path(), L"C:\\Windows");
    dirPanel->ShowDirectory(L"");
    EXPECT_EQ(dirPanel->Path(), L"");
    linkPanel->ShowLink(L"C:\\Start\\Editor.lnk");
    EXPECT_EQ(linkPanel->Path(), L"C:\\Start\\Editor.lnk");
    linkPanel->ShowLink(L"");
    EXPECT_EQ(linkPanel->Path(), L"");
}

#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "viewers/win/KyOleCtnrs.h"

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

TEST(OLEContainer, IsHonestlyEmpty)
{
    TForm form(nullptr);
    auto* container = new TKyOLEContainer(&form);
    container->SetParent(&form);
    form.HandleNeeded();
    wchar_t className[32];
    GetClassNameW(container->Handle(), className, 32);
    EXPECT_STREQ(className, L"TKyOLEContainer");

    EXPECT_EQ(container->GetState(), osEmpty);
    EXPECT_THROW(container->CreateObjectFromFile(L"C:\\brief.doc", false), EInvalidOperation);
    EXPECT_EQ(container->GetState(), osEmpty);
    try {
        container->DoVerb(-5);
        ADD_FAILURE() << "an empty container has no verbs";
    } catch (const EOleError& error) {
        EXPECT_EQ(error.Message(), L"Operation mit einem leeren OLE-Container nicht zulässig");
    }
    EXPECT_THROW(container->Close(), EOleError);
    EXPECT_THROW(container->SaveAsDocument(L"x.ole"), EOleError);
    EXPECT_NO_THROW(container->DestroyObject());
    container->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(container->Handle()));
}

#include "common/UrlRules.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace qrv {

TEST(UrlRules, OnlyWebAndMailLinksOpen)
{
    for (const wchar_t* url : {L"HTTP://x", L"https://example.org/a?b", L"ftp://host/f", L"mailto:", L"MailTo:a@b"})
        EXPECT_TRUE(IsOpenableUrl(url)) << WideToUtf8(url);
    for (const wchar_t* url : {L"file:///C:/x", L"javascript:alert(1)", L"C:\\x.exe", L"\\\\srv\\x.exe", L"x.exe", L"",
                               L"http", L"shell:startup", L" http://x"})
        EXPECT_FALSE(IsOpenableUrl(url)) << WideToUtf8(url);
}

TEST(UrlRules, MarkedAddressesOpenAsWebOrMail)
{
    struct Case {
        const wchar_t* text;
        bool mail;
        const wchar_t* opened;  // nullptr: not opened
    };
    const Case cases[] = {
        {L"HTTP://X", false, L"HTTP://X"},
        {L"https://x", false, L"https://x"},
        {L"www.x.de", false, L"http://www.x.de"},
        {L"WWW.x.de/a", false, L"http://WWW.x.de/a"},
        {L"a@b.de", true, L"mailto:a@b.de"},
        {L"MAILTO:a@b.de", true, L"MAILTO:a@b.de"},
        {L"ftp://h/f", false, L"ftp://h/f"},
        {L"file:///C:/x.exe", false, nullptr},
        {L"gopher://x", false, nullptr},
        {L"javascript:x", false, nullptr},
        {L"x.exe", false, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::wstring> url = OpenableUrlOf(c.text, c.mail);
        if (c.opened) {
            ASSERT_TRUE(url.has_value()) << WideToUtf8(c.text);
            EXPECT_EQ(*url, c.opened);
        } else {
            EXPECT_FALSE(url.has_value()) << WideToUtf8(c.text);
        }
    }
}

}  // namespace qrv

// The list of extensions stored without compression, from the set.

#include "archives/ZipStoreSuffixes.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ZipStoreSuffixes, SetAndExtraSuffixes)
{
    const std::string defaults = StoreSuffixList(kDefaultStoreSuffixes, u"");
    EXPECT_EQ(defaults.rfind(".gif:.png:.z:.zip:", 0), 0u);
    EXPECT_NE(defaults.find(":.jar"), std::string::npos);
    EXPECT_EQ(defaults.find(".exe"), std::string::npos);
    EXPECT_EQ(StoreSuffixList(assPNG | assEXE, u"mp3"), ".png:.exe");
    EXPECT_EQ(StoreSuffixList(assEXT, u"MP3; .ogg:7z"), ".mp3:.ogg:.7z");
    EXPECT_EQ(StoreSuffixList(0, u"mp3"), "");
}

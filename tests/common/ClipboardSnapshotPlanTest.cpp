#include "common/ClipboardSnapshotPlan.h"

#include <gtest/gtest.h>

using namespace qrv;
using K = TClipboardKeep;

namespace {

TEST(ClipboardSnapshotPlan, EachFormatIsKeptByWhatItsHandleIs)
{
    struct Case {
        uint32_t format;
        K keep;
    };
    for (const Case c : {
             Case{1, K::Bytes},       // ANSI text
             Case{13, K::Bytes},      // UTF-16 text
             Case{8, K::Bytes},       // a DIB
             Case{15, K::Bytes},      // a file list
             Case{0xC123, K::Bytes},  // a registered format
             Case{2, K::Bitmap},
             Case{0x82, K::Bitmap},
             Case{9, K::Palette},
             Case{3, K::MetafilePicture},
             Case{0x83, K::MetafilePicture},
             Case{14, K::EnhancedMetafile},
             Case{0x8E, K::EnhancedMetafile},
             Case{0x80, K::Lost},
             Case{0x200, K::Lost},
             Case{0x2FF, K::Lost},
             Case{0x300, K::Lost},
             Case{0x3FF, K::Lost},
             Case{0x400, K::Bytes},
         }) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(ClipboardKeepOf(c.format), c.keep);
    }
}

TEST(ClipboardSnapshotPlan, ASnapshotStandsUntilSomebodyWritesAfterTheRestore)
{
    TClipboardSnapshotAge age;
    EXPECT_FALSE(age.StillCurrent(0));
    age.Restored(41);
    EXPECT_TRUE(age.StillCurrent(41));
    EXPECT_FALSE(age.StillCurrent(42));
    age.Forget();
    EXPECT_FALSE(age.StillCurrent(41));
}

}  // namespace

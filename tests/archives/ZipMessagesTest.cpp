// The zip component's message table: lookup, the note for a missing id,
// the replacement hook and the one-argument formatting.

#include "archives/ZipMessages.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(ZipMessages, LooksUpByIdAndNamesMissingIds)
{
    EXPECT_EQ(ZipMessageText(zmStructureWarning), u"Warnung - Fehler in Archiv-Struktur!");
    EXPECT_EQ(ZipMessageText(zmNoSpanSupport), u"Keine Unterstützung für geteilte Archive");
    EXPECT_FALSE(ZipMessageText(10100).has_value());
    EXPECT_FALSE(ZipMessageText(zmExtraPhaseBase + 2).has_value());
    EXPECT_EQ(ZipMessageOrFallback(10606),
              u"ZipMsgXX.res is probably not linked to the executable\nMissing String ID is: 10606");
    // Every id of the key ranges that the table holds lies inside them.
    for (int id = 10000; id < 12000; ++id) {
        if (!ZipMessageText(id))
            continue;
        bool inRange = (id >= 10101 && id <= 10105) || (id >= 10140 && id <= 10143) || (id >= 10150 && id <= 10159) ||
                       (id >= 10180 && id <= 10185) || (id >= 10201 && id <= 10204) || (id >= 10301 && id <= 10307) ||
                       id == 10401 || (id >= 10501 && id <= 10503) || (id >= 10601 && id <= 10605) ||
                       (id >= 10701 && id <= 10705) || (id >= 10801 && id <= 10804) || (id >= 10901 && id <= 10903) ||
                       (id >= 11001 && id <= 11048);
        EXPECT_TRUE(inRange) << id;
    }
}

TEST(ZipMessages, ReplacementHookSeesIdAndText)
{
    int seen = 0;
    auto replace = [&](int id, std::u16string& text) {
        seen = id;
        if (text.starts_with(u"Warnung"))
            text = u"Achtung";
    };
    EXPECT_EQ(ZipMessageOrFallback(zmTrailingDataWarning, replace), u"Achtung");
    EXPECT_EQ(seen, zmTrailingDataWarning);
    EXPECT_EQ(ZipMessageOrFallback(zmNotAZip, replace), *ZipMessageText(zmNotAZip));
    // The fallback is not offered: there is no text to replace.
    seen = 0;
    ZipMessageOrFallback(10100, replace);
    EXPECT_EQ(seen, 0);
}

TEST(ZipMessages, FormatsItsArguments)
{
    EXPECT_EQ(FormatZipMessage(*ZipMessageText(zmInsertDiskOf), 2, 5), u"Bitte legen Sie Diskette 2 von 5 ein");
    EXPECT_EQ(FormatZipMessage(*ZipMessageText(zmUnknownDrive), u"Q:"), u"Unbekanntes Laufwerk: Q:");
    EXPECT_EQ(FormatZipMessage(*ZipMessageText(zmNotLastDisk), 3).substr(0, 17), u"Dies ist Diskette");
    EXPECT_NE(FormatZipMessage(*ZipMessageText(zmNotLastDisk), 3).find(u"Nr. 3 des"), std::u16string::npos);
    EXPECT_EQ(FormatZipMessage(u"100%% von %s", u"a%sb"), u"100% von a%sb");
    EXPECT_EQ(FormatZipMessage(u"ohne Platzhalter", 7), u"ohne Platzhalter");
}

}  // namespace

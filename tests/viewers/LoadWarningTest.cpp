#include "viewers/LoadWarning.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

// Streams `size` bytes in blocks of 4 KB while the clock runs `msPerBlock` per
// block; answers every question with `answer`. Returns the questions asked
// and the bytes that were read before the load stopped.
struct TLoadRun {
    std::vector<std::u16string> questions;
    uint64_t read = 0;
};

TLoadRun Stream(uint64_t size, uint64_t msPerBlock, bool answer)
{
    uint64_t now = 1000;
    TLoadWarning warning([&] { return now; });
    warning.Start();
    TLoadRun run;
    for (uint64_t position = 0; position < size; position += 4096) {
        TLoadWarningStep step = warning.Check(position);
        if (step == TLoadWarningStep::lwAsk) {
            run.questions.push_back(TLoadWarning::Question(position));
            step = warning.Answer(answer);
        }
        if (step == TLoadWarningStep::lwStop)
            break;
        run.read = position + 4096;
        now += msPerBlock;
    }
    return run;
}

}  // namespace

TEST(LoadWarning, AsksOnceForLargeSlowLoads)
{
    const TLoadRun small = Stream(400 * 1024, 100, false);
    EXPECT_TRUE(small.questions.empty()) << "400 KB never asks, however slow";
    EXPECT_EQ(small.read, 400u * 1024);

    // Late for the first time with 2 MB read.
    uint64_t now = 0;
    TLoadWarning warning([&] { return now; });
    warning.Start();
    now = 2001;
    ASSERT_EQ(warning.Check(2 * 1048576), TLoadWarningStep::lwAsk);
    EXPECT_EQ(TLoadWarning::Question(2 * 1048576), u"Es wurden bereits 2,0 MB an Daten in den Texteditor eingelesen.\n"
                                                   u"Möchten Sie das Einlesen der Datei fortsetzen?");
    EXPECT_EQ(warning.Answer(true), TLoadWarningStep::lwGoOn);
    now = 100000;
    EXPECT_EQ(warning.Check(3 * 1048576), TLoadWarningStep::lwGoOn) << "Yes ends the asking";

    const TLoadRun yes = Stream(4 * 1048576, 10, true);
    EXPECT_EQ(yes.questions.size(), 1u);
    EXPECT_EQ(yes.read, 4u * 1048576);
}

TEST(LoadWarning, NoStopsTheLoad)
{
    const TLoadRun no = Stream(4 * 1048576, 10, false);
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_LT(no.read, 4u * 1048576);
    EXPECT_GT(no.read, TLoadWarning::QuietBytes);
}

TEST(LoadWarning, OnTimeOrQuietLoadsGoOn)
{
    uint64_t now = 0;
    TLoadWarning warning([&] { return now; });
    EXPECT_EQ(warning.Check(10 * 1048576), TLoadWarningStep::lwGoOn) << "not started: no warning";
    warning.Start();
    now = 2000;
    EXPECT_EQ(warning.Check(10 * 1048576), TLoadWarningStep::lwGoOn) << "the deadline itself is not late";
    now = 2001;
    EXPECT_EQ(warning.Check(TLoadWarning::QuietBytes), TLoadWarningStep::lwGoOn);
    EXPECT_EQ(warning.Check(TLoadWarning::QuietBytes + 1), TLoadWarningStep::lwGoOn) << "the deadline moved on by 2 s";
    now = 4002;
    EXPECT_EQ(warning.Check(TLoadWarning::QuietBytes + 1), TLoadWarningStep::lwAsk);
    EXPECT_EQ(TLoadWarning::Question(1572864).substr(0, 22), u"Es wurden bereits 1,5 ");
}

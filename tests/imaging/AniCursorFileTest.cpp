// The animated cursor parser on files built chunk by chunk, and the step
// schedule on a fake clock. Files around real icons are in
// raster/RasterFixtureTest.cpp.
#include "imaging/AniCursorFile.h"
#include "imaging/AniSchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qrv {
namespace {

using TBytes = std::vector<uint8_t>;
using namespace std::string_literals;

TBytes Le32(uint32_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

TBytes Cat(std::initializer_list<TBytes> parts)
{
    TBytes all;
    for (const TBytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TBytes Text(const std::string& text)
{
    return TBytes(text.begin(), text.end());
}

TBytes Chunk(const std::string& id, const TBytes& data, bool pad = true)
{
    TBytes chunk = Cat({Text(id), Le32(static_cast<uint32_t>(data.size())), data});
    if (pad && data.size() % 2)
        chunk.push_back(0);
    return chunk;
}

// An icon file of one image: directory, entry, imageBytes bytes of image.
TBytes Icon(uint8_t width, uint8_t height, size_t imageBytes = 40, uint8_t fill = 0x28)
{
    TBytes icon = {0, 0, 1, 0, 1, 0, width, height, 0, 0, 1, 0, 32, 0};
    icon = Cat({icon, Le32(static_cast<uint32_t>(imageBytes)), Le32(22), TBytes(imageBytes, fill)});
    return icon;
}

TBytes Anih(uint32_t frames, uint32_t steps, uint32_t rate)
{
    return Cat({Le32(36), Le32(frames), Le32(steps), Le32(32), Le32(32), Le32(0), Le32(0), Le32(rate), Le32(1)});
}

TBytes Values(std::initializer_list<uint32_t> values)
{
    TBytes all;
    for (uint32_t v : values)
        all = Cat({all, Le32(v)});
    return all;
}

TBytes Riff(const TBytes& body)
{
    return Cat({Text("RIFF"), Le32(static_cast<uint32_t>(body.size() + 4)), Text("ACON"), body});
}

// Three frames, four steps; odd chunks (title, an unknown chunk, the second
// icon) padded or not.
TBytes SampleAni(bool pad)
{
    const TBytes info = Cat({Text("INFO"), Chunk("INAM", Text("Uhr\0"s), pad), Chunk("ICOP", Text("(c)"), pad)});
    const TBytes fram = Cat({Text("fram"), Chunk("icon", Icon(32, 0), pad), Chunk("icon", Icon(16, 16, 41), pad),
                             Chunk("icon", Icon(0, 48), pad)});
    return Riff(Cat({Chunk("LIST", info, pad), Chunk("anih", Anih(3, 4, 10), pad), Chunk("junk", Text("odd"), pad),
                     Chunk("rate", Values({10, 20, 0, 1}), pad), Chunk("seq ", Values({0, 1, 2, 7}), pad),
                     Chunk("LIST", fram, pad)}));
}

TEST(AniCursorFile, ReadsHeaderTextsRatesSequenceAndFrames)
{
    for (bool pad : {true, false}) {
        SCOPED_TRACE(pad ? "padded" : "unpadded");
        const TBytes bytes = SampleAni(pad);
        const TAniCursorFile file(bytes);
        EXPECT_EQ(file.Header().FrameCount, 3u);
        EXPECT_EQ(file.Header().StepCount, 4u);
        EXPECT_EQ(file.Header().DisplayRate, 10u);
        EXPECT_EQ(file.Header().Flags, 1u);
        EXPECT_EQ(file.Title(), "Uhr");
        EXPECT_EQ(file.Author(), "unbekannt");
        EXPECT_EQ(file.Rates(), (std::vector<uint32_t>{10, 20, 0, 1}));
        EXPECT_EQ(file.Sequence(), (std::vector<uint32_t>{0, 1, 2, 7}));
        ASSERT_EQ(file.Frames().size(), 3u);
        // The first frame's directory: a height byte of 0 is 256.
        EXPECT_EQ(file.Width(), 32u);
        EXPECT_EQ(file.Height(), 256u);
        EXPECT_EQ(file.Frames()[2].Width, 256u);
        EXPECT_EQ(file.FrameImage(1).size(), 41u);
        EXPECT_EQ(TBytes(file.FrameIcon(1).begin(), file.FrameIcon(1).end()), Icon(16, 16, 41));
        EXPECT_EQ(file.Bytes(), bytes);
    }
}

TEST(AniCursorFile, InfoListAfterTheHeaderIsStillTheInfoList)
{
    const TBytes info = Cat({Text("INFO"), Chunk("IART", Text("Anna\0"s)), Chunk("INAM", Text("Pfeil"))});
    const TBytes fram = Cat({Text("fram"), Chunk("icon", Icon(32, 32))});
    const TAniCursorFile file(Riff(Cat({Chunk("anih", Anih(1, 0, 6)), Chunk("LIST", info), Chunk("LIST", fram)})));
    EXPECT_EQ(file.Author(), "Anna");
    EXPECT_EQ(file.Title(), "Pfeil");
    EXPECT_EQ(file.StepCount(), 1u);
}

TEST(AniCursorFile, RefusesMalformedFiles)
{
    const TBytes fram1 = Cat({Text("fram"), Chunk("icon", Icon(32, 32))});
    const auto ani = [&](const TBytes& anih, const TBytes& extra, const TBytes& fram) {
        return Riff(Cat({Chunk("anih", anih), extra, Chunk("LIST", fram)}));
    };
    TBytes notRiff = ani(Anih(1, 1, 6), {}, fram1);
    notRiff[0] = 'X';
    TBytes notAcon = ani(Anih(1, 1, 6), {}, fram1);
    notAcon[8] = 'X';
    TBytes riffTooLong = ani(Anih(1, 1, 6), {}, fram1);
    riffTooLong[4] = 0xFF;
    TBytes shortAnih = ani(Anih(1, 1, 6), {}, fram1);
    shortAnih[16] = 35;  // the chunk's size field
    TBytes iconCountOverflow = Icon(32, 32);
    iconCountOverflow[4] = 200;  // more directory entries than the chunk holds
    TBytes imageBeyondIcon = Icon(32, 32);
    imageBeyondIcon[14] = 41;  // image size one beyond the chunk
    TBytes offsetInDirectory = Icon(32, 32);
    offsetInDirectory[18] = 10;
    TBytes notIcon = Icon(32, 32);
    notIcon[2] = 3;
    const TBytes cases[] = {
        notRiff,
        notAcon,
        riffTooLong,
        shortAnih,
        ani(Anih(1, 2, 6), Chunk("rate", Values({1})), fram1),        // rate count differs from steps
        ani(Anih(1, 2, 6), Chunk("seq ", Values({0, 0, 0})), fram1),  // sequence count differs
        ani(Anih(1, 1, 6), Chunk("rate", Text("abc")), fram1),
        ani(Anih(2, 0, 6), {}, fram1),           // fewer icons than frames
        ani(Anih(0xFFFFFFFF, 0, 6), {}, fram1),  // a header count is never allocated
        ani(Anih(0, 0, 6), {}, fram1),
        Riff(Chunk("LIST", fram1)),  // no header
        Riff(Chunk("anih", Anih(1, 1, 6))),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("icon", TBytes(6 + 15, 0))})),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("icon", iconCountOverflow)})),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("icon", imageBeyondIcon)})),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("icon", offsetInDirectory)})),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("icon", notIcon)})),
        ani(Anih(1, 1, 6), {}, Cat({Text("fram"), Chunk("cion", Icon(32, 32))})),
        ani(Anih(1, 1, 6), Cat({Text("junk"), Le32(0x7FFFFFFF)}), fram1),  // a chunk beyond the file
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        try {
            TAniCursorFile file(cases[i]);
            ADD_FAILURE() << "accepted";
        } catch (const EAniFormat& e) {
            EXPECT_EQ(e.Message(), L"Ungültiges Grafikformat (*.ANI, *.CUR)");
        }
    }
}

TEST(AniCursorFile, EveryCutOfAFileIsRefused)
{
    const TBytes whole = SampleAni(true);
    for (size_t size = 0; size < whole.size(); ++size)
        EXPECT_THROW(TAniCursorFile(TBytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(size))), EAniFormat)
            << size;
}

struct TFakeClock {
    uint64_t Now = 5000;
    TAniSchedule::TClock Clock()
    {
        return [this] { return Now; };
    }
};

TAniCursorFile PlainAni(uint32_t frames, uint32_t steps, uint32_t rate, const TBytes& extra = {})
{
    TBytes fram = Text("fram");
    for (uint32_t i = 0; i < frames; ++i)
        fram = Cat({fram, Chunk("icon", Icon(32, 32))});
    return TAniCursorFile(Riff(Cat({Chunk("anih", Anih(frames, steps, rate)), extra, Chunk("LIST", fram)})));
}

TEST(AniSchedule, Rate10StepsEvery166Point7Milliseconds)
{
    const TAniCursorFile file = PlainAni(2, 0, 10);
    TFakeClock clock;
    TAniSchedule schedule(file, clock.Clock());
    EXPECT_EQ(schedule.MillisecondsToNextStep(), 167u);
    clock.Now += 166;
    EXPECT_FALSE(schedule.Update());
    EXPECT_EQ(schedule.Frame(), 0u);
    clock.Now += 1;  // 167 ms > 166.67
    EXPECT_TRUE(schedule.Update());
    EXPECT_EQ(schedule.Frame(), 1u);
    clock.Now = 5000 + 333;  // the second step ends at 333.33 ms
    EXPECT_FALSE(schedule.Update());
    EXPECT_EQ(schedule.MillisecondsToNextStep(), 1u);
    clock.Now = 5000 + 334;
    EXPECT_TRUE(schedule.Update());
    EXPECT_EQ(schedule.Frame(), 0u);  // no step count: the frames in order, wrapping
}

TEST(AniSchedule, RatesAndSequencePerStep)
{
    // Steps of 10, 20, 0 (as 1) and 1 jiffies showing frames 0, 1, 2 and 0 (7 is beyond the frames).
    const TAniCursorFile file =
        PlainAni(3, 4, 99, Cat({Chunk("rate", Values({10, 20, 0, 1})), Chunk("seq ", Values({0, 1, 2, 7}))}));
    TFakeClock clock;
    TAniSchedule schedule(file, clock.Clock());
    struct TPoint {
        uint64_t Ms;
        size_t Step, Frame;
    };
    // Step ends at 10, 30, 31, 32 jiffies = 166.7, 500, 516.7, 533.3 ms; then the cycle of 32 repeats
    // (its first step ends at 42 jiffies = 700 ms), also after an hour.
    const TPoint points[] = {{0, 0, 0},   {166, 0, 0}, {167, 1, 1}, {499, 1, 1}, {500, 2, 2}, {516, 2, 2},
                             {517, 3, 0}, {533, 3, 0}, {534, 0, 0}, {699, 0, 0}, {700, 1, 1}, {3600000 + 533, 3, 0}};
    for (const TPoint& p : points) {
        clock.Now = 5000 + p.Ms;
        schedule.Update();
        EXPECT_EQ(schedule.Step(), p.Step) << p.Ms;
        EXPECT_EQ(schedule.Frame(), p.Frame) << p.Ms;
    }
}

TEST(AniSchedule, HeaderRateWithoutRateListAndRestart)
{
    const TAniCursorFile file = PlainAni(3, 3, 0, Chunk("seq ", Values({2, 1, 0})));
    TFakeClock clock;
    TAniSchedule schedule(file, clock.Clock());
    EXPECT_EQ(schedule.Frame(), 2u);
    EXPECT_EQ(schedule.StepRate(1), 1u);  // a rate of 0 counts as 1
    clock.Now += 17;
    EXPECT_TRUE(schedule.Update());
    EXPECT_EQ(schedule.Frame(), 1u);
    schedule.Start();
    EXPECT_EQ(schedule.Step(), 0u);
    EXPECT_EQ(schedule.Frame(), 2u);
}

TEST(AniSchedule, StartsAtAnyStepAndKeepsTheRatesFromThere)
{
    // Steps of 10, 20, 0 (as 1) and 1 jiffies showing frames 0, 1, 2 and 0.
    const TAniCursorFile file =
        PlainAni(3, 4, 99, Cat({Chunk("rate", Values({10, 20, 0, 1})), Chunk("seq ", Values({0, 1, 2, 7}))}));
    TFakeClock clock;
    TAniSchedule schedule(file, clock.Clock());
    schedule.StartAt(1);
    EXPECT_EQ(schedule.Step(), 1u);
    EXPECT_EQ(schedule.Frame(), 1u);
    EXPECT_EQ(schedule.MillisecondsToNextStep(), 334u);  // 20 jiffies
    clock.Now += 333;
    EXPECT_FALSE(schedule.Update());
    clock.Now += 1;
    EXPECT_TRUE(schedule.Update());
    EXPECT_EQ(schedule.Step(), 2u);
    // The cycle goes on through step 0 with its own rate.
    clock.Now += 17 + 17;
    schedule.Update();
    EXPECT_EQ(schedule.Step(), 0u);
    EXPECT_EQ(schedule.MillisecondsToNextStep(), 166u);
    // A step beyond the count starts at step 0.
    schedule.StartAt(9);
    EXPECT_EQ(schedule.Step(), 0u);
    EXPECT_EQ(schedule.MillisecondsToNextStep(), 167u);
}

TEST(AniSchedule, HugeStepCountAndRatesAreNeverAllocatedOrOverflowed)
{
    // 4 billion steps of the largest rate and no lists: a rate counts as a day at most.
    const TAniCursorFile file = PlainAni(2, 0xFFFFFFFF, 0xFFFFFFFF);
    TFakeClock clock;
    TAniSchedule schedule(file, clock.Clock());
    EXPECT_EQ(schedule.StepCount(), 0xFFFFFFFFu);
    EXPECT_EQ(schedule.StepRate(0), 24u * 60 * 60 * 60);
    clock.Now += 24ull * 60 * 60 * 1000 - 1;
    EXPECT_FALSE(schedule.Update());
    clock.Now += 1;
    EXPECT_TRUE(schedule.Update());
    EXPECT_EQ(schedule.Step(), 1u);
    EXPECT_EQ(schedule.Frame(), 1u);
}

}  // namespace
}  // namespace qrv

// The zip component's answers to the libraries' callbacks: which event each
// action code fires, what is written back into the record and how far, and
// that a failing event handler cancels the run instead of escaping.

#include "archives/ZipCallback.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

using namespace qrv;

namespace {

ZipCallbackData Call(int32_t action, const char* msg = "", int64_t size = 0, int32_t error = 0)
{
    ZipCallbackData data{};
    data.ActionCode = action;
    data.FileSize = size;
    data.ErrorCode = error;
    std::strncpy(data.Msg, msg, sizeof data.Msg - 1);
    return data;
}

size_t TextLength(const ZipCallbackData& data)
{
    const void* zero = std::memchr(data.Msg, 0, sizeof data.Msg);
    return zero ? size_t(static_cast<const char*>(zero) - data.Msg) : sizeof data.Msg;
}

TEST(ZipCallback, ProgressEventsAndPercentages)
{
    TZipCallbackDispatch dispatch;
    std::vector<std::pair<ProgressType, uint64_t>> progress;
    std::vector<int> itemPercent, totalPercent;
    dispatch.Events.OnProgress = [&](ProgressType type, const std::u16string&, uint64_t size) {
        progress.push_back({type, size});
    };
    dispatch.Events.OnItemProgress = [&](const std::u16string& item, uint64_t, int percent) {
        EXPECT_EQ(item, u"daten.bin");
        itemPercent.push_back(percent);
    };
    dispatch.Events.OnTotalProgress = [&](uint64_t total, int percent) {
        EXPECT_EQ(total, 400u);
        totalPercent.push_back(percent);
    };
    for (ZipCallbackData data : {Call(zacCount, "", 1), Call(zacSize, "", 400), Call(zacItem, "daten.bin", 200),
                                 Call(zacProgress, "", 50), Call(zacProgress, "", 150), Call(zacEndOfBatch)})
        EXPECT_EQ(dispatch.Dispatch(data), 0);
    std::vector<std::pair<ProgressType, uint64_t>> expected = {{TotalFiles2Process, 1}, {TotalSize2Process, 400},
                                                               {NewFile, 200},          {ProgressUpdate, 50},
                                                               {ProgressUpdate, 150},   {EndOfBatch, 0}};
    EXPECT_EQ(progress, expected);
    EXPECT_EQ(itemPercent, (std::vector<int>{0, 25, 100, -1}));
    EXPECT_EQ(totalPercent, (std::vector<int>{12, 50, -1}));
}

TEST(ZipCallback, MessagesKeepTheLowByteOfTheCode)
{
    TZipCallbackDispatch dispatch;
    int code = -1;
    std::u16string text;
    dispatch.Events.OnMessage = [&](int c, const std::u16string& t) {
        code = c;
        text = t;
    };
    ZipCallbackData data = Call(zacMessage,
                                "Gr\xC3\xB6\xC3\x9F"
                                "e fehlt",
                                0, 0x1203);
    dispatch.Dispatch(data);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(dispatch.ErrCode, 3);
    EXPECT_EQ(text, u"Größe fehlt");
    EXPECT_EQ(dispatch.LastMessage, text);
}

TEST(ZipCallback, AnswersAreCutToTheirRoomAndTerminated)
{
    TZipCallbackDispatch dispatch;
    std::u16string longText(700, u'ä');  // two bytes each in the record
    dispatch.Events.OnSetNewName = [&](std::u16string& name, bool& changed) {
        EXPECT_EQ(name, u"alt.txt");
        name = longText;
        changed = true;
    };
    dispatch.Events.OnPasswordError = [&](bool, std::u16string& password, const std::u16string& forFile, uint32_t&,
                                          TPasswordButton& action) {
        EXPECT_EQ(forFile, u"geheim.txt");
        password = std::u16string(100, u'p');
        action = pwbOk;
    };
    dispatch.Events.OnFileComment = [&](const std::u16string&, std::u16string& comment, bool& changed) {
        comment = std::u16string(600, u'c');
        changed = true;
    };

    ZipCallbackData name = Call(zacNewName, "alt.txt");
    dispatch.Dispatch(name);
    EXPECT_EQ(TextLength(name), 510u);  // 255 two-byte characters fit before the zero
    EXPECT_EQ(ReadCallbackText(name.Msg), std::u16string(255, u'ä'));

    ZipCallbackData password = Call(zacPassword, "geheim.txt");
    dispatch.Dispatch(password);
    EXPECT_EQ(password.ReplyValue, 1);
    EXPECT_EQ(ReadCallbackText(password.Msg), std::u16string(80, u'p'));

    ZipCallbackData comment = Call(zacComment, "a.txt");
    dispatch.Dispatch(comment);
    EXPECT_EQ(ReadCallbackText(comment.Msg), std::u16string(511, u'c'));
    EXPECT_EQ(comment.Msg[511], '\0');
}

TEST(ZipCallback, PasswordButtons)
{
    struct TCase {
        TPasswordButton Button;
        int32_t Reply;
        int32_t Result;
    } cases[] = {{pwbOk, 1, 0}, {pwbCancel, 0, 0}, {pwbCancelAll, 0, -1}, {pwbAbort, 0, -1}};
    for (const TCase& c : cases) {
        TZipCallbackDispatch dispatch;
        // Without OnPasswordError the built-in dialog is asked.
        dispatch.Events.PasswordDialog = [&](bool isZip, const std::u16string&, std::u16string& password) {
            EXPECT_FALSE(isZip);
            password = u"x";
            return c.Button;
        };
        ZipCallbackData data = Call(zacPassword, "a.txt");
        EXPECT_EQ(dispatch.Dispatch(data), c.Result) << c.Button;
        EXPECT_EQ(data.ReplyValue, c.Reply) << c.Button;
        EXPECT_EQ(TextLength(data), c.Reply ? 1u : 0u);
    }
}

TEST(ZipCallback, CrcOverwriteAndSkippedAnswers)
{
    TZipCallbackDispatch dispatch;
    dispatch.ExtrOverWrite = true;
    uint32_t found = 0, expected = 0;
    dispatch.Events.OnCRC32Error = [&](const std::u16string&, uint32_t f, uint32_t e, bool& doExtract) {
        EXPECT_TRUE(doExtract);
        found = f;
        expected = e;
        doExtract = false;
    };
    ZipCallbackData crc = Call(zacCRCError, "kaputt.txt");
    crc.Arg1 = int32_t(0xDEADBEEF);
    crc.Arg2 = 0x1234;
    dispatch.Dispatch(crc);
    EXPECT_EQ(found, 0xDEADBEEFu);
    EXPECT_EQ(expected, 0x1234u);
    EXPECT_EQ(crc.ReplyValue, 0);

    bool seenOlder = false, initial = false;
    dispatch.Events.OnExtractOverwrite = [&](const std::u16string&, bool older, bool& doOverwrite, int) {
        seenOlder = older;
        initial = doOverwrite;
        doOverwrite = false;
    };
    ZipCallbackData overwrite = Call(zacOverwrite, "da.txt");
    overwrite.Arg1 = 1;
    dispatch.Dispatch(overwrite);
    EXPECT_TRUE(seenOlder);
    EXPECT_TRUE(initial);
    EXPECT_EQ(overwrite.ReplyValue, 0);

    UnZipSkipTypes skip = stOnFreshen;
    dispatch.Events.OnExtractSkipped = [&](const std::u16string&, UnZipSkipTypes type, int) { skip = type; };
    ZipCallbackData skipped = Call(zacSkipped, "x.txt", 0, stBadPassword);
    dispatch.Dispatch(skipped);
    EXPECT_EQ(skip, stBadPassword);
    EXPECT_EQ(dispatch.ErrCode, int(stBadPassword));
}

TEST(ZipCallback, HandlerExceptionsCancelAndAreReported)
{
    TZipCallbackDispatch dispatch;
    dispatch.Events.OnProgress = [](ProgressType, const std::u16string&, uint64_t) {
        throw std::runtime_error("kaputt");
    };
    std::u16string reported;
    dispatch.Events.OnMessage = [&](int, const std::u16string& text) { reported = text; };
    ZipCallbackData item = Call(zacItem, "a.txt", 5);
    EXPECT_EQ(dispatch.Dispatch(item), -1);
    EXPECT_TRUE(dispatch.Cancel);
    EXPECT_EQ(dispatch.EventException, u"\"kaputt\" #1");
    ZipCallbackData message = Call(zacMessage, "Abbruch. ", 0, 9);
    dispatch.Dispatch(message);
    EXPECT_EQ(reported, u"Abbruch. Exception in Event \"kaputt\" #1");
}

TEST(ZipCallback, CancelAfterCallbackAndClosing)
{
    TZipCallbackDispatch dispatch;
    int ticks = 0;
    dispatch.Events.OnTick = [&] { ++ticks; };
    ZipCallbackData tick = Call(zacTick);
    EXPECT_EQ(dispatch.Dispatch(tick), 0);
    dispatch.Cancel = true;
    EXPECT_EQ(dispatch.Dispatch(tick), -1);
    dispatch.Cancel = false;
    dispatch.Events.OnAfterCallback = [](bool& abort) { abort = true; };
    EXPECT_EQ(dispatch.Dispatch(tick), -1);
    EXPECT_TRUE(dispatch.Cancel);
    dispatch.Closing = true;
    EXPECT_EQ(dispatch.Dispatch(tick), 0);
    EXPECT_EQ(ticks, 3);
}

TEST(ZipCallback, ExtraPhasesNameTheirItemById)
{
    TZipCallbackDispatch dispatch;
    std::u16string item;
    dispatch.Events.OnZipStr = [](int, std::u16string&) {};
    dispatch.Events.OnProgress = [&](ProgressType type, const std::u16string& name, uint64_t) {
        if (type == NewExtra)
            item = name;
    };
    ZipCallbackData extra = Call(zacXItem, "", 10, 3);
    dispatch.Dispatch(extra);
    EXPECT_NE(item.find(u"11403"), std::u16string::npos);
}

}  // namespace

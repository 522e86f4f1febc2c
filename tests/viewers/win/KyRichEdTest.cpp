#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyRichEd.h"
#include "viewers/win/RichEditOleCallback.h"

#include "TestDir.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <atomic>

using namespace qrv;

namespace {

class KyRichEdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TKyRichEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(0, 0, 400, 300);
        form.HandleNeeded();
    }
    std::vector<std::wstring> Lines()
    {
        std::vector<std::wstring> lines;
        for (int i = 0; i < edit->Lines().Count(); ++i)
            lines.push_back(edit->Lines()[i]);
        return lines;
    }
    void LoadRtf(const std::string& rtf)
    {
        TMemoryStream stream;
        stream.WriteBytes(rtf);
        stream.SetPosition(0);
        edit->Lines().StreamFormat = TRichStreamFormat::sfRichText;
        edit->Lines().LoadFromStream(stream);
        edit->Lines().StreamFormat = TRichStreamFormat::sfDefault;
    }
    std::string SaveRtf()
    {
        TMemoryStream stream;
        edit->Lines().StreamFormat = TRichStreamFormat::sfRichText;
        edit->Lines().SaveToStream(stream);
        edit->Lines().StreamFormat = TRichStreamFormat::sfDefault;
        return std::string(stream.Bytes().begin(), stream.Bytes().end());
    }
    TForm form{nullptr};
    TKyRichEdit* edit = nullptr;
};

}  // namespace

TEST_F(KyRichEdTest, LinesReadAndWriteAsText)
{
    wchar_t className[32];
    GetClassNameW(edit->Handle(), className, 32);
    EXPECT_EQ(lstrcmpiW(className, MSFTEDIT_CLASS), 0) << className;

    TRichEditStrings& lines = edit->Lines();
    EXPECT_EQ(lines.Count(), 0);
    lines.SetText(L"eins\r\nzwei\nÄrger\r\n");
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"eins", L"zwei", L"Ärger"})) << "a final break adds no line";
    EXPECT_EQ(lines[3], L"") << "outside the text";
    EXPECT_EQ(lines.Add(L"vier"), 3);
    EXPECT_EQ(lines.Text(), L"eins\r\nzwei\r\nÄrger\r\nvier\r\n");
    EXPECT_EQ(edit->Text(), L"eins\r\nzwei\r\nÄrger\r\nvier");

    lines.Put(1, L"ZWEI");
    lines.Insert(0, L"null");
    lines.Insert(5, L"fünf");
    lines.Delete(3);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"null", L"eins", L"ZWEI", L"vier", L"fünf"}));
    EXPECT_THROW(lines.Put(9, L"x"), EStringListError);

    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_FALSE(edit->Modified());
    lines.Add(L"allein");
    EXPECT_EQ(lines.Text(), L"allein\r\n");
}

TEST_F(KyRichEdTest, AVeryLongLineReadsBackWhole)
{
    edit->SetWordWrap(false);
    std::wstring line;
    for (int i = 0; i < 100000; ++i)
        line += static_cast<wchar_t>(L'a' + i % 26);
    edit->Lines().SetText(L"kurz\r\n" + line + L"\r\nEnde");
    ASSERT_EQ(edit->Lines().Count(), 3);
    EXPECT_EQ(edit->Lines()[1], line);
    EXPECT_EQ(edit->Lines()[2], L"Ende");
}

TEST_F(KyRichEdTest, UpdatesAreAnnouncedOnceAtTheEnd)
{
    int changes = 0;
    edit->OnChange = [&](TComponent*) { ++changes; };
    edit->Lines().BeginUpdate();
    edit->Lines().BeginUpdate();
    edit->Lines().Add(L"a");
    edit->Lines().Add(L"b");
    edit->Lines().EndUpdate();
    EXPECT_EQ(changes, 0) << "the inner end announces nothing";
    edit->Lines().EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST_F(KyRichEdTest, SelectionCaretAndModified)
{
    edit->Lines().SetText(L"Hallo Welt\r\nzweite Zeile");
    edit->SetModified(false);
    edit->SetSelStart(6);
    edit->SetSelLength(4);
    EXPECT_EQ(edit->SelText(), L"Welt");

    edit->SetSelText(L"Erde!");
    EXPECT_EQ(edit->Lines()[0], L"Hallo Erde!");
    EXPECT_EQ(edit->SelText(), L"Erde!") << "the inserted text is selected";
    EXPECT_TRUE(edit->Modified());
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");

    edit->SetSelStart(11 + 7);  // "zweite |Zeile"
    EXPECT_EQ(edit->CaretPos().y, 1);
    EXPECT_EQ(edit->CaretPos().x, 7);

    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(KyRichEdTest, RecreatedWindowKeepsTextFormattingAndModified)
{
    LoadRtf("{\\rtf1\\ansi Hallo {\\b Welt}\\par " + std::string(400, 'x') + "}");
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_GT(SendMessageW(edit->Handle(), EM_GETLINECOUNT, 0, 0), 2) << "the long line wraps";
    edit->SetModified(true);
    ASSERT_NE(SaveRtf().find("\\b"), std::string::npos);

    HWND before = edit->Handle();
    edit->SetWordWrap(false);
    EXPECT_NE(edit->Handle(), before) << "the wrap mode needs a new window";
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLINECOUNT, 0, 0), 2) << "the long line no longer wraps";
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_TRUE(edit->Modified());
    EXPECT_NE(SaveRtf().find("\\b"), std::string::npos) << "bold text kept";

    edit->SetModified(false);
    edit->SetHideScrollBars(false);
    EXPECT_TRUE(GetWindowLongW(edit->Handle(), GWL_STYLE) & ES_DISABLENOSCROLL);
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");

    edit->SetPlainText(true);
    EXPECT_EQ(edit->Lines()[0], L"Hallo Welt");
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    EXPECT_EQ(SaveRtf().find("\\b "), std::string::npos) << "plain text has no bold";
}

TEST_F(KyRichEdTest, FindTextHonoursItsOptions)
{
    edit->Lines().SetText(L"Der Baum und die Bäume\r\nbaum");
    const int all = static_cast<int>(edit->Text().size());
    struct Case {
        const wchar_t* text;
        int start;
        unsigned options;
        int expected;
    };
    const Case cases[] = {
        {L"baum", 0, 0, 4},
        {L"baum", 0, TKyRichEdit::stMatchCase, 23},
        {L"Bäum", 0, TKyRichEdit::stWholeWord, -1},
        {L"Bäume", 0, TKyRichEdit::stWholeWord, 17},
        {L"Baum", 5, 0, 23},
        {L"Baum", all, TKyRichEdit::stUp, 23},
        {L"Wald", 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.options);
        EXPECT_EQ(edit->FindText(c.text, c.start, all, c.options), c.expected);
    }
    EXPECT_EQ(edit->FindText(L"die", 0, all, TKyRichEdit::stSelect), 13);
    EXPECT_EQ(edit->SelText(), L"die");
}

TEST_F(KyRichEdTest, ALinkClickReportsItsTextAndButton)
{
    edit->Lines().SetText(L"Siehe http://example.org/seite für mehr");
    std::vector<std::pair<std::wstring, TMouseButton>> clicks;
    edit->OnURLClick = [&](TComponent*, const std::wstring& url, TMouseButton button) {
        clicks.emplace_back(url, button);
    };
    // The control reports a link through its parent, as a mouse action on it.
    auto notify = [&](UINT mouse, LONG min, LONG max) {
        ENLINK link{};
        link.nmhdr.hwndFrom = edit->Handle();
        link.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(edit->Handle()));
        link.nmhdr.code = EN_LINK;
        link.msg = mouse;
        link.chrg = CHARRANGE{min, max};
        SendMessageW(form.Handle(), WM_NOTIFY, link.nmhdr.idFrom, reinterpret_cast<LPARAM>(&link));
    };
    notify(WM_LBUTTONDOWN, 6, 30);
    notify(WM_LBUTTONUP, 6, 30);
    notify(WM_RBUTTONDOWN, 6, 30);
    notify(WM_RBUTTONUP, 6, 30);
    notify(WM_LBUTTONDOWN, 6, 30);
    notify(WM_RBUTTONUP, 6, 30);  // another button: no click
    notify(WM_LBUTTONDOWN, 6, 30);
    notify(WM_LBUTTONUP, 7, 30);  // another range: no click
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].first, L"http://example.org/seite");
    EXPECT_EQ(clicks[0].second, TMouseButton::mbLeft);
    EXPECT_EQ(clicks[1].second, TMouseButton::mbRight);
}

TEST_F(KyRichEdTest, TextAndParagraphAttributes)
{
    edit->Lines().SetText(L"Hallo Welt");
    edit->SetSelStart(0);
    edit->SetSelLength(5);
    edit->SelAttributes().SetStyle(fsBold | fsItalic);
    edit->SelAttributes().SetSize(14);
    edit->SelAttributes().SetName(L"Courier New");
    edit->SelAttributes().SetColor(0x0000FF);
    EXPECT_EQ(edit->SelAttributes().Style(), fsBold | fsItalic);
    EXPECT_EQ(edit->SelAttributes().Size(), 14);
    EXPECT_EQ(edit->SelAttributes().Name(), L"Courier New");
    EXPECT_EQ(edit->SelAttributes().Color(), 0x0000FF);
    edit->SetSelStart(7);
    EXPECT_EQ(edit->SelAttributes().Style(), 0u) << "the rest stays plain";
    EXPECT_NE(SaveRtf().find("\\b"), std::string::npos);

    edit->Paragraph().SetAlignment(TAlignment::taCenter);
    edit->Paragraph().SetFirstIndent(12);
    edit->Paragraph().SetRightIndent(8);
    edit->Paragraph().SetTab(2, 72);
    EXPECT_EQ(edit->Paragraph().Alignment(), TAlignment::taCenter);
    EXPECT_EQ(edit->Paragraph().FirstIndent(), 12);
    EXPECT_EQ(edit->Paragraph().RightIndent(), 8);
    EXPECT_GE(edit->Paragraph().TabCount(), 3);
    EXPECT_EQ(edit->Paragraph().Tab(2), 72);
    edit->Paragraph().SetNumbering(TNumberingStyle::nsBullet);
    EXPECT_EQ(edit->Paragraph().Numbering(), TNumberingStyle::nsBullet);
    EXPECT_GE(edit->Paragraph().LeftIndent(), 10) << "bullets get room";
    edit->Paragraph().SetNumbering(TNumberingStyle::nsNone);
    EXPECT_EQ(edit->Paragraph().LeftIndent(), 0);
}

TEST_F(KyRichEdTest, AFailedTransferIsRetriedFromTheStartInTheOtherFormat)
{
    // Plain text the rich text reader refuses: read again as text, converted.
    TMemoryStream plain;
    plain.WriteBytes("\xc4rger\r\nzwei");
    plain.SetPosition(0);
    ASSERT_FALSE(edit->PlainText());
    edit->Lines().LoadFromStream(plain);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"\u00c4rger", L"zwei"}));

    // A conversion that fails on its first pass after taking a byte: the
    // retry starts at the stream's start with the conversion reset.
    int passes = 0;
    struct TFlakyConversion : TConversion {
        explicit TFlakyConversion(int& passes) : passes(passes) {}
        int& passes;
        size_t ConvertReadStream(TStream& stream, uint8_t* buffer, size_t size) override
        {
            if (BytesRead() == 0 && ++passes == 1) {
                stream.Read(buffer, 1);
                throw EReadError(L"Lesefehler");
            }
            return TConversion::ConvertReadStream(stream, buffer, size);
        }
    };
    TMemoryStream rich;
    rich.WriteBytes("{\\rtf1\\ansi \\'c4rger\\par zwei}");
    rich.SetPosition(0);
    edit->SetPlainText(true);
    edit->SetDefaultConverter([&] { return std::make_unique<TFlakyConversion>(passes); });
    edit->Lines().LoadFromStream(rich);
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"\u00c4rger", L"zwei"}));

    // Neither format: the conversion's own error passes on.
    struct TBrokenConversion : TConversion {
        size_t ConvertReadStream(TStream&, uint8_t*, size_t) override { throw EReadError(L"Lesefehler"); }
    };
    edit->SetDefaultConverter(ConversionClass<TBrokenConversion>());
    rich.SetPosition(0);
    EXPECT_THROW(edit->Lines().LoadFromStream(rich), EReadError);
}

TEST_F(KyRichEdTest, PlainTextStreamsInTheControlsUnicode)
{
    edit->SetPlainText(true);
    TMemoryStream in;
    in.WriteBytes("Gr\xfc\xdf"
                  "e\r\n\x80 und \x81");
    in.SetPosition(0);
    edit->Lines().LoadFromStream(in);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"Gr\u00fc\u00dfe", L"\u20ac und \u0081"}));
    TMemoryStream out;
    edit->Lines().SaveToStream(out);
    EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "Gr\xfc\xdf"
                                                                   "e\r\n\x80 und \x81");
}

TEST_F(KyRichEdTest, RtfFilesPassUnchangedWhateverTheDefaultConversion)
{
    test::TestDir dir;
    const std::string rtf = "{\\rtf1\\ansi Gr\\'fc\\'dfe {\\b fett}\\par}";
    edit->SetPlainText(true);
    // A conversion that would turn the bytes into nonsense if it were used.
    edit->SetDefaultConverter(ConversionClass<TUnicodeConversionANSI>());
    edit->Lines().LoadFromFile(dir.Write(L"brief.RTF", rtf));
    EXPECT_EQ(edit->Lines()[0], L"Gr\u00fc\u00dfe fett");
    edit->Lines().SaveToFile(dir.File(L"kopie.rtf"));
    const std::string saved = dir.Read(L"kopie.rtf");
    EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u) << saved;

    // Any other extension goes through the default conversion.
    edit->SetDefaultConverter(ConversionClass<TConversion>());
    edit->Lines().LoadFromFile(dir.Write(L"brief.txt", "Gr\xfc\xdf"
                                                       "e"));
    EXPECT_EQ(edit->Lines()[0], L"Gr\u00fc\u00dfe");
    EXPECT_THROW(edit->Lines().LoadFromFile(dir.File(L"fehlt.txt")), EFOpenError);
}

TEST_F(KyRichEdTest, TheOleCallbackGivesStorageAndIsNeverFreedByItsUsers)
{
    // The control holds the callback; ask it through the control's OLE side.
    IRichEditOle* ole = nullptr;
    ASSERT_TRUE(SendMessageW(edit->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)));
    ASSERT_NE(ole, nullptr);
    ole->Release();

    TRichEditOleCallback callback(*edit);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(callback.QueryInterface(IID_IRichEditOleCallback, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 0u);
    EXPECT_EQ(callback.Release(), 0u) << "the count never goes below zero, nothing is freed";

    IStorage* storage = nullptr;
    ASSERT_EQ(callback.GetNewStorage(&storage), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->CreateStream(L"Inhalt", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream),
              S_OK);
    ULONG written = 0;
    EXPECT_EQ(stream->Write("abc", 3, &written), S_OK);
    EXPECT_EQ(written, 3u);
    stream->Release();
    storage->Release();
    EXPECT_EQ(callback.QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(callback.GetClipboardData(nullptr, 0, nullptr), E_NOTIMPL) << "left to the control";
}

// The window is destroyed after the control's own members (its base class
// destroys it) and releases its OLE callback as it goes. A call into the
// freed callback faults inside the system's rich edit, which drops such a
// fault without a word, or jumps wherever the freed memory points: a
// handler counts the faults on this thread while controls come and go.
TEST_F(KyRichEdTest, ADestroyedControlsWindowNeverCallsItsFreedOleCallback)
{
    static std::atomic<int> faults{0};
    static DWORD thread = 0;
    faults = 0;
    thread = GetCurrentThreadId();
    PVOID handler = AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* info) -> LONG {
        if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && GetCurrentThreadId() == thread)
            ++faults;
        return EXCEPTION_CONTINUE_SEARCH;
    });
    ASSERT_NE(handler, nullptr);
    for (int i = 0; i < 20; ++i) {
        auto* other = new TKyRichEdit(&form);
        other->SetParent(&form);
        ASSERT_TRUE(other->AllowObjects());
        other->Lines().SetText(L"Text " + std::to_wstring(i));
        delete other;
    }
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(faults.load(), 0);
}

// The embedded-document container on the system's OLE. Wine has no server
// for any document kind, so the objects come from our own in-process test
// server (tests/viewers/win/oletest), which a ctest fixture registers in the
// test prefix around the suites that embed its objects.

#include "OleTestServer.h"

#include "common/BaseUtils.h"
#include "framework/FilePath.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "viewers/win/KyOleCtnrs.h"
#include "win/ForeignFileHolder.h"
#include "win/MessagePump.h"
#include "win/ProcessOutput.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);

int LiveObjects()
{
    const HMODULE server = GetModuleHandleW(L"qrv_oletest.dll");
    if (!server)
        return 0;  // unloaded: the server frees its library only when no object lives
    auto count = reinterpret_cast<oletest::LiveObjectsFunction>(
        reinterpret_cast<void*>(GetProcAddress(server, oletest::LiveObjectsExport)));
    return count ? count() : -1;
}

// What the container paints, read back pixel by pixel.
class TPainted {
public:
    explicit TPainted(TKyOLEContainer& container)
    {
        RECT client{};
        GetClientRect(container.Handle(), &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const TWindowDC screen(nullptr);
        bitmap_.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_.Reset(CreateCompatibleDC(screen.Get()));
        TSelectObject keep(dc_.Get(), bitmap_.Get());
        SendMessageW(container.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.Get()), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        pixels_.assign(pixels, pixels + width_ * height_);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const
    {
        const uint32_t p = pixels_[static_cast<size_t>(y * width_ + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF colour) const
    {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += At(x, y) == colour;
        return n;
    }
    // The smallest rectangle around every pixel other than the background.
    RECT Drawn(COLORREF background) const
    {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }

private:
    int width_ = 0, height_ = 0;
    TGdiObject bitmap_;
    TOwnDC dc_;
    std::vector<uint32_t> pixels_;
};

std::string ReadContents(const std::wstring& document)
{
    Microsoft::WRL::ComPtr<IStorage> storage;
    if (FAILED(StgOpenStorage(document.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage)))
        return "(no storage)";
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
        return "(no Contents)";
    std::string data;
    char buffer[512];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
        data.append(buffer, read);
    return data;
}

void ExpectOleError(const std::function<void()>& call, const std::wstring& text)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected: " << WideToUtf8(text);
    } catch (const EOleError& error) {
        EXPECT_EQ(error.Message(), text);
    }
}

const std::wstring EmptyText = L"Operation mit einem leeren OLE-Container nicht zulässig";

// A shown form with a container filling it.
class ContainerForm {
public:
    ContainerForm() : form(std::make_unique<TForm>(nullptr))
    {
        form->SetBounds(40, 40, 320, 240);
        container = new TKyOLEContainer(form.get());
        container->SetParent(form.get());
        container->SetAlign(TAlign::alClient);
        form->Show();
        test::PumpFor(20ms);
    }
    std::unique_ptr<TForm> form;
    TKyOLEContainer* container;
};

}  // namespace

TEST(OleContainerEmpty, RefusesWhatNeedsAnObject)
{
    ContainerForm f;
    TKyOLEContainer& c = *f.container;
    wchar_t className[32];
    GetClassNameW(c.Handle(), className, 32);
    EXPECT_STREQ(className, L"TKyOLEContainer");
    EXPECT_EQ(c.GetState(), osEmpty);
    ExpectOleError([&] { c.DoVerb(ovPrimary); }, EmptyText);
    ExpectOleError([&] { c.DoVerb(-5); }, EmptyText);
    ExpectOleError([&] { c.Close(); }, EmptyText);
    ExpectOleError([&] { c.SaveAsDocument(L"T:\\never.ole"); }, EmptyText);
    TMemoryStream stream;
    ExpectOleError([&] { c.SaveToStream(stream); }, EmptyText);
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_NO_THROW(c.DestroyObject());
    EXPECT_NO_THROW(c.DestroyObject());
    EXPECT_EQ(c.GetState(), osEmpty);
    EXPECT_EQ(c.VerbMenu(), nullptr);
}

TEST(OleContainerEmpty, PassesOnTheSystemsRefusalOfAFile)
{
    test::TestDir dir;
    const std::wstring text = dir.Write(L"notiz.txt", "kein Objekt\r\n");
    ContainerForm f;
    // No server for ".txt" under Wine, and no packager to wrap the file.
    try {
        f.container->CreateObjectFromFile(text, false);
        ADD_FAILURE() << "a text file became an object";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode, MK_E_INVALIDEXTENSION);
        // The system's text; Wine has none for OLE's results, and the code is named instead.
        const std::wstring system = SysErrorMessage(static_cast<DWORD>(error.ErrorCode));
        EXPECT_EQ(error.Message(), system.empty() ? L"OLE-Fehler 0x800401E6" : system);
    }
    EXPECT_EQ(f.container->GetState(), osEmpty);
    try {
        f.container->CreateObjectFromFile(dir.File(L"fehlt.qoletest"), false);
        ADD_FAILURE() << "a missing file became an object";
    } catch (const EOleSysError&) {}
    EXPECT_EQ(f.container->GetState(), osEmpty);
}

TEST(OleContainerEmpty, RefusesAStoredDataOfTheWrongForm)
{
    ContainerForm f;
    struct {
        const char* Name;
        std::string Bytes;
    } const cases[] = {
        {"eleven bytes", std::string("BDOC\1\0\0\0\0\0\0", 11)},
        {"wrong signature", std::string("DOCB\1\0\0\0\4\0\0\0abcd", 16)},
        {"length beyond the stream", std::string("BDOC\1\0\0\0\xFF\xFF\xFF\x7F", 12) + "abcd"},
        {"not a compound file", std::string("BDOC\1\0\0\0\4\0\0\0abcd", 16)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream stream;
        stream.WriteBytes(c.Bytes);
        stream.SetPosition(0);
        EXPECT_THROW(f.container->LoadFromStream(stream), EOleError);
        EXPECT_EQ(f.container->GetState(), osEmpty);
    }
    TMemoryStream tooLong;
    tooLong.WriteBytes(std::string("BDOC\1\0\0\0\xFF\xFF\xFF\x7F", 12));
    tooLong.SetPosition(0);
    ExpectOleError([&] { f.container->LoadFromStream(tooLong); }, L"Ungültiges Stream-Format");
}

// ---- With objects of the test server ---------------------------------------------

class OleContainerObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(LiveObjects(), 0);
        file = dir.Write(L"rot.qoletest", "red\r\nzweite Zeile\r\n");
    }
    void TearDown() override
    {
        shown.reset();
        CoFreeUnusedLibraries();
        EXPECT_EQ(LiveObjects(), 0);
    }
    TKyOLEContainer& Embedded(bool iconic = false)
    {
        shown = std::make_unique<ContainerForm>();
        shown->container->CreateObjectFromFile(file, iconic);
        return *shown->container;
    }
    // The server's window inside the container, if any.
    static HWND InPlaceWindow(TKyOLEContainer& c)
    {
        return FindWindowExW(c.Handle(), nullptr, oletest::InPlaceWindowClass, nullptr);
    }

    test::TestDir dir;
    std::wstring file;
    std::unique_ptr<ContainerForm> shown;
};

TEST_F(OleContainerObjects, RunsAfterCreationWithTheVerbsOfTheRegistry)
{
    TKyOLEContainer& c = Embedded();
    EXPECT_EQ(c.GetState(), osRunning);
    EXPECT_EQ(LiveObjects(), 1);
    const std::vector<std::wstring> verbs{L"&Bearbeiten", L"&Öffnen", L"Ändern"};
    EXPECT_EQ(c.ObjectVerbs(), verbs);
    TPopupMenu* menu = c.VerbMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items()->Count(), 3);
    EXPECT_EQ(menu->Items()->Items(1)->Caption(), L"&Öffnen");
    EXPECT_EQ(menu->Items()->Items(2)->Tag, 2);
    // The system's menu item text, as the menu bar would show it.
    wchar_t text[32] = L"";
    GetMenuStringW(menu->Handle(), 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Öffnen");
    ExpectOleError([&] { c.DoVerb(3); }, L"Ungültiges Objekt-Verb");
    EXPECT_EQ(c.GetState(), osRunning);
    // Drawn by the object itself: the file's colour.
    const TPainted painted(c);
    EXPECT_EQ(painted.At(painted.Width() / 2, painted.Height() / 2), Red);
    c.DestroyObject();
    EXPECT_EQ(c.GetState(), osEmpty);
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(c.VerbMenu(), nullptr);
}

TEST_F(OleContainerObjects, ActivatesInPlaceInsideTheContainer)
{
    // ctest: takes the focus (an object activated in place takes it)
    for (int verb : {ovPrimary, ovInPlaceActivate}) {
        SCOPED_TRACE(verb);
        TKyOLEContainer& c = Embedded();
        int activated = 0, deactivated = 0;
        c.OnActivate = [&](TComponent*) { ++activated; };
        c.OnDeactivate = [&](TComponent*) { ++deactivated; };
        c.DoVerb(verb);
        EXPECT_EQ(c.GetState(), osUIActive);
        EXPECT_EQ(activated, 1);
        const HWND inPlace = InPlaceWindow(c);
        ASSERT_NE(inPlace, nullptr);
        RECT client{}, window{};
        GetClientRect(c.Handle(), &client);
        GetWindowRect(inPlace, &window);
        MapWindowPoints(nullptr, c.Handle(), reinterpret_cast<POINT*>(&window), 2);
        EXPECT_EQ(window.left, client.left);
        EXPECT_EQ(window.top, client.top);
        EXPECT_EQ(window.right, client.right);
        EXPECT_EQ(window.bottom, client.bottom);
        TKyOLEForm* frame = TKyOLEForm::ForForm(*shown->form);
        EXPECT_EQ(frame->ActiveOleControl(), &c);
        // A second activation changes nothing.
        c.DoVerb(verb);
        EXPECT_EQ(activated, 1);
        // The container follows the form's size, and the object the container.
        shown->form->SetBounds(40, 40, 400, 300);
        test::PumpFor(20ms);
        GetClientRect(c.Handle(), &client);
        GetWindowRect(inPlace, &window);
        EXPECT_EQ(window.right - window.left, client.right);
        EXPECT_EQ(window.bottom - window.top, client.bottom);

        c.DestroyObject();
        EXPECT_EQ(c.GetState(), osEmpty);
        EXPECT_EQ(deactivated, 1);
        EXPECT_FALSE(IsWindow(inPlace));
        EXPECT_EQ(frame->ActiveOleControl(), nullptr);
        EXPECT_EQ(LiveObjects(), 0);
    }
}

TEST_F(OleContainerObjects, MakesObjectsOfAClassAndOfADataObject)
{
    TKyOLEContainer& c = Embedded();
    c.DoVerb(oletest::VerbChange);  // green
    ContainerForm other;
    Microsoft::WRL::ComPtr<IDataObject> data;
    ASSERT_EQ(c.OleObject()->QueryInterface(IID_PPV_ARGS(&data)), S_OK);
    other.container->CreateObjectFromData(data.Get(), false);
    EXPECT_EQ(other.container->GetState(), osRunning);
    const TPainted copied(*other.container);
    EXPECT_EQ(copied.At(copied.Width() / 2, copied.Height() / 2), Green);
    EXPECT_EQ(LiveObjects(), 2);

    // A new object of the class: its empty data names no colour.
    other.container->CreateObject(oletest::ClassId, false);
    EXPECT_EQ(other.container->GetState(), osRunning);
    EXPECT_EQ(LiveObjects(), 2);
    const TPainted fresh(*other.container);
    EXPECT_EQ(fresh.At(fresh.Width() / 2, fresh.Height() / 2), RGB(128, 128, 128));
    other.container->DestroyObject();
    EXPECT_EQ(LiveObjects(), 1);
    const CLSID unknown{0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 4}};
    EXPECT_THROW(other.container->CreateObject(unknown, false), EOleSysError);
    EXPECT_THROW(other.container->CreateObjectFromData(nullptr, false), EOleSysError);
    EXPECT_EQ(other.container->GetState(), osEmpty);

    // Links: Wine makes none (not implemented); a link the system makes
    // holds an object, one it refuses leaves the container empty.
    for (bool fromData : {false, true}) {
        SCOPED_TRACE(fromData);
        try {
            if (fromData)
                other.container->CreateLinkFromData(data.Get(), false);
            else
                other.container->CreateLinkToFile(file, false);
            EXPECT_NE(other.container->GetState(), osEmpty);
            other.container->DestroyObject();
        } catch (const EOleSysError& error) {
            EXPECT_TRUE(FAILED(error.ErrorCode));
            EXPECT_EQ(other.container->GetState(), osEmpty);
        }
    }
    EXPECT_EQ(LiveObjects(), 1);
}

TEST_F(OleContainerObjects, TheUserActivatesByDoubleClickEnterOrTheVerbMenu)
{
    TKyOLEContainer& c = Embedded();
    SendMessageW(c.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(c.GetState(), osUIActive);
    c.DestroyObject();

    c.CreateObjectFromFile(file, false);
    c.AutoActivate = TAutoActivate::aaManual;
    SendMessageW(c.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(c.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(c.GetState(), osRunning);
    MSG enter{};
    enter.hwnd = c.Handle();
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_EQ(SendMessageW(c.Handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)), 0);
    c.AutoActivate = TAutoActivate::aaDoubleClick;
    EXPECT_EQ(SendMessageW(c.Handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)), DLGC_WANTMESSAGE);
    SendMessageW(c.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(c.GetState(), osUIActive);
    c.DestroyObject();

    // The verb menu's "&Öffnen".
    c.CreateObjectFromFile(file, false);
    ASSERT_NE(c.VerbMenu(), nullptr);
    c.VerbMenu()->Items()->Items(1)->Click();
    EXPECT_EQ(c.GetState(), osOpen);
}

TEST_F(OleContainerObjects, OpensInItsOwnWindowAndIsHatchedMeanwhile)
{
    TKyOLEContainer& c = Embedded();
    int shows = 0;
    c.OnShowObject = [&](TComponent*) { ++shows; };
    const int redBefore = TPainted(c).Count(Red);
    c.DoVerb(ovOpen);
    EXPECT_EQ(c.GetState(), osOpen);
    EXPECT_EQ(shows, 1);
    const HWND own = FindWindowW(oletest::OpenWindowClass, nullptr);
    EXPECT_NE(own, nullptr);
    EXPECT_EQ(InPlaceWindow(c), nullptr);
    const TPainted hatched(c);
    EXPECT_GT(hatched.Count(RGB(0, 0, 0)), 100);
    EXPECT_GT(hatched.Count(Red), redBefore / 2);
    EXPECT_LT(hatched.Count(Red), redBefore);
    // Closed: no longer open, drawn plain again.
    c.Close();
    EXPECT_NE(c.GetState(), osOpen);
    EXPECT_FALSE(IsWindow(own));
    EXPECT_EQ(TPainted(c).Count(Red), redBefore);
    // The verb list's "&Öffnen" does the same.
    c.DoVerb(1);
    EXPECT_EQ(c.GetState(), osOpen);
}

TEST_F(OleContainerObjects, ChangesReachTheContainerAndTheSavedDocument)
{
    TKyOLEContainer& c = Embedded();
    int changes = 0;
    c.OnDataChanged = [&](TComponent*) { ++changes; };
    EXPECT_FALSE(c.Modified());
    c.DoVerb(oletest::VerbChange);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(c.Modified());
    const TPainted painted(c);
    EXPECT_EQ(painted.At(painted.Width() / 2, painted.Height() / 2), Green);

    const std::wstring document = dir.File(L"gespeichert.ole");
    c.SaveAsDocument(document);
    EXPECT_EQ(StgIsStorageFile(document.c_str()), S_OK);
    EXPECT_EQ(ReadContents(document), "green\r\nzweite Zeile\r\n");
    EXPECT_FALSE(c.Modified());
    // Saved again over the document: replaced whole.
    c.DoVerb(oletest::VerbChange);
    c.SaveAsDocument(document);
    EXPECT_EQ(ReadContents(document), "blue\r\nzweite Zeile\r\n");
    // Nothing is left beside it.
    int files = 0;
    WIN32_FIND_DATAW found;
    TFindHandle search(FindFirstFileW((dir.Path() + L"\\*").c_str(), &found));
    if (search)
        do
            files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (FindNextFileW(search.Get(), &found));
    EXPECT_EQ(files, 2);
}

TEST_F(OleContainerObjects, AFailedSaveKeepsTheOldDocument)
{
    TKyOLEContainer& c = Embedded();
    const std::wstring document = dir.Write(L"besetzt.ole", "alter Inhalt");
    {
        test::ForeignFileHolder holder(document);
        ASSERT_TRUE(holder.Holding());
        EXPECT_THROW(c.SaveAsDocument(document), EOleSysError);
    }
    EXPECT_EQ(dir.Read(L"besetzt.ole"), "alter Inhalt");
    EXPECT_EQ(c.GetState(), osRunning);
}

TEST_F(OleContainerObjects, StoredDataDrawsTheSameObject)
{
    TKyOLEContainer& c = Embedded();
    c.DoVerb(oletest::VerbChange);  // green, and not saved yet
    for (bool copyOnSave : {true, false}) {
        SCOPED_TRACE(copyOnSave);
        c.CopyOnSave = copyOnSave;
        TMemoryStream stream;
        stream.WriteBytes("vorher");
        c.SaveToStream(stream);
        ASSERT_GT(stream.Size(), 6 + 12);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()) + 6, 4), "BDOC");
        ContainerForm other;
        stream.SetPosition(6);
        other.container->LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), stream.Size());
        EXPECT_NE(other.container->GetState(), osEmpty);
        const TPainted painted(*other.container);
        EXPECT_EQ(painted.At(painted.Width() / 2, painted.Height() / 2), Green);
        EXPECT_EQ(LiveObjects(), 2);
    }
    EXPECT_EQ(LiveObjects(), 1);
}

TEST_F(OleContainerObjects, ShowsTheClassIconCentred)
{
    TKyOLEContainer& c = Embedded(true);
    EXPECT_TRUE(c.Iconic());
    const TPainted painted(c);
    const COLORREF background = ColorToRGB(clWindow);
    EXPECT_EQ(painted.Count(Red), 0);
    const RECT drawn = painted.Drawn(background);
    ASSERT_LT(drawn.left, drawn.right) << "nothing drawn";
    // The icon stands in the middle, far from the edges.
    EXPECT_NEAR((drawn.left + drawn.right) / 2, painted.Width() / 2, 2);
    EXPECT_NEAR((drawn.top + drawn.bottom) / 2, painted.Height() / 2, 2);
    EXPECT_LT(drawn.right - drawn.left, painted.Width() / 2);
    // An iconic object is not activated in place: it opens in its own window.
    c.DoVerb(ovPrimary);
    EXPECT_EQ(InPlaceWindow(c), nullptr);
    EXPECT_EQ(c.GetState(), osOpen);
    // Back to its content.
    c.Close();
    c.SetIconic(false);
    EXPECT_FALSE(c.Iconic());
    const TPainted content(c);
    EXPECT_EQ(content.At(content.Width() / 2, content.Height() / 2), Red);
}

TEST_F(OleContainerObjects, AFormFreedWhileTheObjectIsActiveFreesItFirst)
{
    TKyOLEContainer& c = Embedded();
    int deactivated = 0;
    c.OnDeactivate = [&](TComponent*) { ++deactivated; };
    c.DoVerb(ovPrimary);
    ASSERT_EQ(c.GetState(), osUIActive);
    const HWND inPlace = InPlaceWindow(c);
    ASSERT_NE(inPlace, nullptr);
    shown.reset();
    EXPECT_FALSE(IsWindow(inPlace));
    EXPECT_EQ(deactivated, 1);
    EXPECT_EQ(LiveObjects(), 0);
    test::PumpFor(20ms);
}

TEST_F(OleContainerObjects, ASiteKeptByTheObjectAnswersUnexpectedOnceTheContainerWent)
{
    TKyOLEContainer& c = Embedded();
    Microsoft::WRL::ComPtr<IOleClientSite> site;
    ASSERT_EQ(c.OleObject()->GetClientSite(&site), S_OK);
    ASSERT_NE(site, nullptr);
    Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite;
    ASSERT_EQ(site.As(&inPlaceSite), S_OK);
    EXPECT_EQ(inPlaceSite->CanInPlaceActivate(), S_OK);
    shown.reset();
    EXPECT_EQ(site->SaveObject(), E_UNEXPECTED);
    EXPECT_EQ(site->ShowObject(), E_UNEXPECTED);
    EXPECT_EQ(inPlaceSite->CanInPlaceActivate(), E_UNEXPECTED);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(inPlaceSite->GetWindow(&window), E_UNEXPECTED);
    EXPECT_EQ(window, nullptr);
}

TEST_F(OleContainerObjects, AHandlersFailureIsRaisedAfterTheSystemsCall)
{
    TKyOLEContainer& c = Embedded();
    c.OnActivate = [](TComponent*) { throw Exception(L"Fehler im Ereignis"); };
    try {
        c.DoVerb(ovPrimary);
        ADD_FAILURE() << "the handler's failure was lost";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), L"Fehler im Ereignis");
    }
    // The object went on: it is active in place.
    EXPECT_EQ(c.GetState(), osUIActive);
    // A failure raised while the object calls on its own is handed to the application.
    c.OnDataChanged = [](TComponent*) { throw Exception(L"Fehler bei Änderung"); };
    Microsoft::WRL::ComPtr<IOleClientSite> site;
    ASSERT_EQ(c.OleObject()->GetClientSite(&site), S_OK);
    Microsoft::WRL::ComPtr<IAdviseSink> sink;
    ASSERT_EQ(site.As(&sink), S_OK);
    std::wstring raised;
    auto previous = Application->OnException;
    Application->OnException = [&](TComponent*, const std::exception& error) {
        if (auto* e = dynamic_cast<const Exception*>(&error))
            raised = e->Message();
    };
    sink->OnViewChange(DVASPECT_CONTENT, -1);
    EXPECT_TRUE(test::PumpUntil([&] { return !raised.empty(); }, 2s));
    Application->OnException = previous;
    EXPECT_EQ(raised, L"Fehler bei Änderung");
}

// ---- The probe --------------------------------------------------------------------

namespace {

std::wstring Probe()
{
    return ExtractFilePath(ExeName()) + L"OleContainerProbe.exe";
}

bool HasLine(const std::string& text, const std::string& line)
{
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        if (l == line)
            return true;
    }
    return false;
}

}  // namespace

TEST(OleContainerProbe, PrintsStatesVerbsAndEvents)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"rot.qoletest", "red\r\n");
    const std::wstring data = dir.File(L"objekt.data");
    const std::wstring document = dir.File(L"objekt.ole");
    const test::TProcessOutput run = test::RunAndCapture(
        Probe(), L"\"" + file + L"\" --verb 2 --verb -65536 --save \"" + document + L"\" --data-out \"" + data + L"\"",
        dir.Path());
    EXPECT_EQ(run.ExitCode, 0u) << run.Text;
    for (const char* line : {"state after start: 0", "state after create: 2", "verb: &Bearbeiten", "verb: &Öffnen",
                             "verb: Ändern", "event: OnDataChanged", "state after verb 2: 2", "event: OnActivate",
                             "state after verb -65536: 5", "modified: yes", "state after save: 5",
                             "state after data out: 5", "event: OnDeactivate", "state after destroy: 0"})
        EXPECT_TRUE(HasLine(run.Text, line)) << line << "\n" << run.Text;
    EXPECT_EQ(ReadContents(document), "green\r\n");

    const test::TProcessOutput reload = test::RunAndCapture(Probe(), L"- --data-in \"" + data + L"\"", dir.Path());
    EXPECT_EQ(reload.ExitCode, 0u) << reload.Text;
    EXPECT_TRUE(HasLine(reload.Text, "state after data in: 2")) << reload.Text;

    const test::TProcessOutput refused =
        test::RunAndCapture(Probe(), L"\"" + dir.Write(L"a.txt", "x") + L"\"", dir.Path());
    EXPECT_EQ(refused.ExitCode, 1u);
    EXPECT_NE(refused.Text.find("error in create: "), std::string::npos) << refused.Text;
}

// The editor's settings objects read back from a settings file. The first
// byte picks the object, the rest is its streamed block. Damage may only
// raise the framework's errors; what was read keeps its clamps and writes
// back to a block that reads to the same block again. A page list read is
// then laid out over a short text, which must end, and its sheets keep their
// text area inside them. The search settings keep their enumerations in range,
// and an editor parser's styles read back keep their font styles in range.
#include "editor/EasyCodeTemplates.h"
#include "editor/EasyEditorParser.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyPageGeometry.h"
#include "editor/EasyPages.h"
#include "editor/EasyPersistence.h"
#include "editor/EasySearchSettings.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace qrv;

std::unique_ptr<TEasyPersistent> Make(int kind)
{
    switch (kind % 12) {
    case 0:
        return std::make_unique<TEasyEditorGutter>();
    case 1:
        return std::make_unique<TEasyEditorMargin>();
    case 2:
        return std::make_unique<TEasyLineNumbers>();
    case 3:
        return std::make_unique<TEasyLineDivider>();
    case 4:
        return std::make_unique<TEasyPopupWindow>(1280, 1024);
    case 5:
        return std::make_unique<TEasyEditorRuler>();
    case 6:
        return std::make_unique<TEasyLineStyles>();
    case 7:
        return std::make_unique<TEasyEditorColors>();
    case 8:
        return std::make_unique<TEasyCodeTemplates>();
    case 9:
        return std::make_unique<TEasyPages>();
    case 10:
        return std::make_unique<TEasySearchSettings>();
    default:
        return std::make_unique<TEasyEditorParser>(nullptr);
    }
}

std::string Written(TEasyPersistent& object)
{
    TMemoryStream stream;
    WriteStreamed(stream, object);
    const auto& bytes = stream.Bytes();
    return std::string(bytes.begin(), bytes.end());
}

void Read(const std::string& bytes, TEasyPersistent& object)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    ReadStreamed(stream, object);
}

struct ShortText : TEasyPageMeasure {
    int LineCount() const override { return 40; }
    void LinesThatFit(int firstLine, int, int height, int& lastLine, int& lastCol, int& used) override
    {
        lastLine = firstLine + height / 16 - 1;
        lastCol = EasyPageLineEnd;
        used = height;
    }
};

void CheckClamps(int kind, TEasyPersistent& object)
{
    switch (kind % 12) {
    case 0:
        if (static_cast<TEasyEditorGutter&>(object).Pen().Width > kMaxEasyPenWidth)
            std::abort();
        break;
    case 2:
        if (static_cast<TEasyLineNumbers&>(object).StartFrom() < 0)
            std::abort();
        break;
    case 9: {
        auto& pages = static_cast<TEasyPages&>(object);
        for (int i = 0; i < pages.Count(); ++i) {
            if (pages.Items(i).PageWidth() < 0 || pages.Items(i).TopIndent() < 0)
                std::abort();
        }
        ShortText text;
        if (pages.PageAt(39, 0, text) < 0)
            std::abort();
        pages.FullLayout = true;
        pages.ResetLayout();
        if (pages.PageAt(39, 0, text) < 0)
            std::abort();
        for (int i = 0; i < pages.LaidOutCount(); ++i) {
            const TEasySheet sheet = EasySheetOf(pages.Items(i), TEasyPageMetrics{});
            if (sheet.Text.Width() < 1 || sheet.Text.Height() < 1 || sheet.Text.Left < sheet.Sheet.Left)
                std::abort();
        }
        break;
    }
    case 10: {
        const auto& search = static_cast<TEasySearchSettings&>(object);
        if (int(search.Direction) > 1 || int(search.Scope) > 1 || int(search.Origin) > 1)
            std::abort();
        break;
    }
    case 11: {
        const auto& parser = static_cast<TEasyEditorParser&>(object);
        for (int i = 0; i < parser.Styles().Count(); ++i)
            if (parser.Styles().Items(i).FontStyle() > 15)
                std::abort();
        break;
    }
    default:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int kind = data[0];
    const std::string block(reinterpret_cast<const char*>(data) + 1, size - 1);
    auto object = Make(kind);
    try {
        Read(block, *object);
    } catch (const Exception&) {
        return 0;  // damaged blocks are refused
    }
    CheckClamps(kind, *object);
    const std::string once = Written(*object);
    auto again = Make(kind);
    Read(once, *again);
    if (Written(*again) != once)
        std::abort();
    return 0;
}

#include "editor/EasyEditorAttributes.h"
#include "editor/EasyParserBase.h"

#include "EditSourceFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace qrv;

namespace {

struct CountingAttributes : TCustomEasyEditorAttributes {
    void Changed() override { ++changes; }
    void BeginUpdate() override { ++begins; }
    void EndUpdate() override { ++ends; }
    int changes = 0, begins = 0, ends = 0;
};

// Reports everything assigned so far as current.
struct CurrentAttributes : CountingAttributes {
    uint16_t ValidMask() const override { return Mask(); }
};

struct CountingParagraph : TCustomEasyParagraph {
    void Changed() override { ++changes; }
    int changes = 0;
};

struct CountingObject : TCustomEasyEditorObject {
    void Changed(int kind) override { kinds.push_back(kind); }
    std::vector<int> kinds;
};

}  // namespace

TEST(EasyEditorAttributes, MaskBits)
{
    struct Case {
        const char* name;
        void (*set)(TCustomEasyEditorAttributes&);
        uint16_t mask;
    } cases[] = {
        {"bold + subscript",
         [](TCustomEasyEditorAttributes& a) {
             a.SetStyle(efBold);
             a.SetVerticalPosition(1);
         },
         0x3440},
        {"italic underline", [](TCustomEasyEditorAttributes& a) { a.SetStyle(efItalic | efUnderline); }, 0x1280},
        {"strike-out", [](TCustomEasyEditorAttributes& a) { a.SetStyle(efStrikeOut); }, 0x1100},
        {"sub then super",
         [](TCustomEasyEditorAttributes& a) {
             a.SetVerticalPosition(1);
             a.SetVerticalPosition(2);
         },
         0x2800},
        {"back to normal",
         [](TCustomEasyEditorAttributes& a) {
             a.SetVerticalPosition(2);
             a.SetVerticalPosition(0);
         },
         0x2000},
        {"styles add up",
         [](TCustomEasyEditorAttributes& a) {
             a.SetStyle(efBold);
             a.SetStyle(efItalic);
         },
         0x10C0},
        {"colours, name, size",
         [](TCustomEasyEditorAttributes& a) {
             a.SetColor(clRed);
             a.SetBackColor(clWhite);
             a.SetName(L"Arial");
             a.SetSize(10);
         },
         0x0027},
        {"charset, pitch, value, text",
         [](TCustomEasyEditorAttributes& a) {
             a.SetCharset(238);
             a.SetPitch(1);
             a.SetValue(7);
             a.SetText(L"x");
         },
         0xC018},
    };
    for (const Case& c : cases) {
        CountingAttributes attributes;
        c.set(attributes);
        EXPECT_EQ(attributes.Mask(), c.mask) << c.name;
    }
}

TEST(EasyEditorAttributes, ChangedUnlessEqualAndCurrent)
{
    CountingAttributes base;
    base.SetColor(clRed);
    base.SetColor(clRed);
    EXPECT_EQ(base.changes, 2) << "the base reports nothing current";

    CurrentAttributes current;
    current.SetColor(clRed);
    current.SetColor(clRed);
    current.SetColor(clBlue);
    EXPECT_EQ(current.changes, 2);

    CountingAttributes copy;
    current.SetName(L"Courier");
    current.SetStyle(efBold);
    current.SetVerticalPosition(2);
    current.SetText(L"t");
    copy.Assign(current);
    EXPECT_EQ(copy.Color(), clBlue);
    EXPECT_EQ(copy.Name(), L"Courier");
    EXPECT_EQ(copy.Style(), efBold);
    EXPECT_EQ(copy.VerticalPosition(), 2);
    EXPECT_EQ(copy.Text(), L"t");
    EXPECT_EQ(copy.begins, 1);
    EXPECT_EQ(copy.ends, 1);
}

TEST(EasyEditorAttributes, ParagraphAndObject)
{
    CountingParagraph paragraph;
    EXPECT_EQ(paragraph.Value(), 1);
    EXPECT_EQ(paragraph.FirstIndent(), 0);
    EXPECT_EQ(paragraph.LeftIndent(), 0);
    EXPECT_EQ(paragraph.RightIndent(), 0);
    paragraph.SetValue(5);
    paragraph.SetNumbering(true);
    EXPECT_EQ(paragraph.FirstIndent(), 48);
    EXPECT_EQ(paragraph.LeftIndent(), -24);
    EXPECT_EQ(paragraph.Value(), 1);
    EXPECT_EQ(paragraph.changes, 2);
    paragraph.SetNumbering(true);
    EXPECT_EQ(paragraph.changes, 2);

    CountingParagraph copy;
    paragraph.SetFirstIndent(10);
    copy.Assign(paragraph);
    EXPECT_TRUE(copy.Numbering());
    EXPECT_EQ(copy.FirstIndent(), 10) << "the copied indent wins over numbering's";

    CountingObject object;
    EXPECT_EQ(object.Width(), 16);
    EXPECT_EQ(object.Height(), 16);
    object.SetWidth(20);
    object.SetHeight(30);
    object.SetFlag(1);
    object.SetFlag(1);
    EXPECT_EQ(object.kinds, (std::vector<int>{0, 1, 1}));
}

TEST(EasyParserBase, RegistryAndSources)
{
    const size_t before = EasyParsers().size();
    auto parser = std::make_unique<test::FakeParser>(nullptr);
    EXPECT_EQ(EasyParsers().size(), before + 1);
    EXPECT_NE(std::find(EasyParsers().begin(), EasyParsers().end(), parser.get()), EasyParsers().end());
    EXPECT_EQ(parser->TCustomEasyParser::TokenIndex(u"x"), -1);

    int told = 0;
    auto reparse = [](void* listener, void*, void*) {
        ++*static_cast<int*>(listener);
        return 0;
    };
    parser->AddSource(reparse, &told, nullptr);
    parser->AddSource(reparse, &told, nullptr);
    EXPECT_EQ(parser->SourceCount(), 1) << "added once";
    parser->Changed();
    EXPECT_EQ(told, 1);
    parser->RemoveSource(reparse, &told);
    parser->Changed();
    EXPECT_EQ(told, 1);
    parser.reset();
    EXPECT_EQ(EasyParsers().size(), before);
}

#include "panels/RenameRules.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(RenameRules, TypedNamesBecomeNewNames)
{
    const std::wstring invalid = L"Dateiname enthält ungültige Zeichen:";
    struct Case {
        std::wstring text, oldName;
        bool directory, showExtension;
        TRenameInput::TKind kind;
        std::wstring newName;
    };
    const Case cases[] = {
        {L"b", L"a.txt", false, false, TRenameInput::Rename, L"b.txt"},
        {L"b", L"a.txt", false, true, TRenameInput::Rename, L"b"},
        {L"b.doc", L"a.tar.gz", false, false, TRenameInput::Rename, L"b.doc.gz"},
        {L"Neu", L"Alt.d", true, false, TRenameInput::Rename, L"Neu"},
        {L"", L"a.txt", false, true, TRenameInput::Cancel, L""},
        {L"a:b", L"a.txt", false, true, TRenameInput::Invalid, L""},
        {L"x|y", L"a", true, true, TRenameInput::Invalid, L""},
        {L"..", L"a", true, true, TRenameInput::Invalid, L""},
        {L"   ", L"a", true, true, TRenameInput::Invalid, L""},
    };
    for (const Case& c : cases) {
        const TRenameInput input = ReadRenameInput(c.text, c.oldName, c.directory, c.showExtension, invalid);
        EXPECT_EQ(input.Kind, c.kind) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(input.NewName, c.newName);
    }
    EXPECT_EQ(ReadRenameInput(L"?", L"a", false, true, invalid).Error,
              L"Dateiname enthält ungültige Zeichen:  \\ / : * ? \" < > |");
}

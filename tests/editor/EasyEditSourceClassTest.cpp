#include "editor/EasyEditSource.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(EasyEditSourceClass, AnEditorTakesItsOwnSourceClassAndBelowOnly)
{
    class TForeignSource : public TCustomEasyEditSource {
    public:
        using TCustomEasyEditSource::TCustomEasyEditSource;
    };
    class TDerivedSource : public TEasyEditSource {
    public:
        using TEasyEditSource::TEasyEditSource;
    };
    TEasyEditSource own(nullptr);
    TDerivedSource derived(nullptr);
    TForeignSource foreign(nullptr);
    EXPECT_NO_THROW(CheckEasyEditSourceClass(nullptr));  // back to the editor's own
    EXPECT_NO_THROW(CheckEasyEditSourceClass(&own));
    EXPECT_NO_THROW(CheckEasyEditSourceClass(&derived));
    try {
        CheckEasyEditSourceClass(&foreign);
        ADD_FAILURE() << "a foreign source must be refused";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), L"The instance of TEasyEditSource expected");
    }
}

// RTF snippets as they come from captions and list items: the importer must
// end, stay in bounds and report only sound runs. A bitmap it hands on has a
// file header whose offsets lie within the data.
#include "editor/EasyRtfImporter.h"
#include "framework/Streams.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qrv;
    TEasyRtfImporter importer;
    importer.OnOutput = [](TCustomEasyImporter*, const std::u16string& text, const TCustomEasyEditorAttributes& a,
                           TCustomEasyEditorObject* object, const TCustomEasyParagraph&) {
        const auto* picture = dynamic_cast<TEasyRtfPicture*>(object);
        if (text.empty() != (picture != nullptr))
            std::abort();
        if (a.Size() < 1)
            std::abort();
        if (picture && picture->Kind == TEasyRtfPictureKind::Bitmap) {
            const std::string_view file = picture->Data;
            const auto dib = CheckDib(file.substr(14));
            if (file.size() < 14 || file.substr(0, 2) != "BM" || !dib || dib->OffBits > file.size())
                std::abort();
        }
        if (picture && (picture->Width() < 0 || picture->Height() < 0))
            std::abort();
    };
    TMemoryStream stream;
    stream.WriteBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    stream.SetPosition(0);
    importer.Import(stream);
    return 0;
}

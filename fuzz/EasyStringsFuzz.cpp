// Text files and persisted blocks as they come from disk. The first byte
// picks the road:
// - even: the rest is a text file. Loading must end and stay in bounds;
//   saving gives the same bytes whenever the file's line ends agree, and a
//   second load and save in the same encoding changes nothing.
// - odd: the rest is hexadecimal text of a streamed block, read into a line
//   list and into an object of every property kind; damage may only raise
//   the framework's errors.
#include "editor/EasyPersistence.h"
#include "editor/EasyStrings.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace qrv;

struct Inner : TEasyPersistent {
    double Ratio = 0;
    std::vector<TEasyProperty> Properties() override
    {
        return {FloatProperty(
            L"Ratio", [this] { return Ratio; }, [this](double v) { Ratio = v; })};
    }
};

struct Everything : TEasyPersistent {
    int64_t Size = 0;
    std::wstring Name;
    bool Flag = false;
    TEasyStringsValue Lines;
    Inner Nested;
    std::vector<TEasyProperty> Properties() override
    {
        return {
            IntegerProperty(
                L"Size", [this] { return Size; }, [this](int64_t v) { Size = v; }),
            StringProperty(
                L"Name", [this] { return Name; }, [this](const std::wstring& v) { Name = v; }),
            BooleanProperty(
                L"Flag", [this] { return Flag; }, [this](bool v) { Flag = v; }),
            StringsProperty(
                L"Lines", [this] { return Lines; }, [this](const TEasyStringsValue& v) { Lines = v; }),
            ObjectProperty(L"Nested", Nested),
        };
    }
};

std::string LoadAndSave(const std::string& bytes, TEasyStrings& strings)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    strings.LoadFromStream(stream);
    return strings.FileBytes();
}

void TextFile(const std::string& bytes)
{
    TEasyStrings strings;
    const std::string saved = LoadAndSave(bytes, strings);
    if (!strings.Format().MixedLineBreaks && saved != bytes)
        std::abort();
    // Saved again, the text stays as it is. (Changed line ends can turn an
    // odd-sized ANSI file into one of even size that reads as UTF-16: the
    // content decides then, as for any unmarked file.)
    TEasyStrings again;
    const std::string savedAgain = LoadAndSave(saved, again);
    if (again.Unicode() == strings.Unicode() && (savedAgain != saved || !again.Equals(strings)))
        std::abort();
}

void Block(const std::string& text)
{
    std::string bytes;
    if (!TryHexDecode(std::wstring(text.begin(), text.end()), bytes))
        return;
    for (int target = 0; target < 2; ++target) {
        TMemoryStream stream;
        stream.WriteBytes(bytes);
        stream.SetPosition(0);
        TEasyStrings strings;
        Everything everything;
        try {
            if (target == 0)
                ReadStreamed(stream, strings);
            else
                ReadStreamed(stream, everything);
        } catch (const Exception&) {
            // Damaged blocks are refused.
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        TextFile(rest);
    else
        Block(rest);
    return 0;
}

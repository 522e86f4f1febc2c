// A command-line tool over the program's own PNG codec:
//   qrv_pngtool chunks FILE              the chunks as they are kept
//   qrv_pngtool topam FILE OUT.pam       the held samples as a PAM file
//   qrv_pngtool recode FILE OUT.png [FILTERS] [INTERLACE]
//       FILTERS: letters of n s u a p (None, Sub, Up, Average, Paeth), default s
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/PngChunks.h"
#include "imaging/PngPicture.h"
#include "imaging/PngSamples.h"

#include <cstdio>
#include <string>

using namespace qrv;

namespace {

void Load(TPngPicture& picture, const char* path)
{
    TMemoryStream stream;
    stream.LoadFromFile(Utf8ToWide(path));
    picture.LoadFromStream(stream);
}

int WritePam(const TPngPicture& picture, const char* path)
{
    const TPngSamples samples = PngSamples(*picture.Image());
    const char* types[] = {"", "GRAYSCALE", "GRAYSCALE_ALPHA", "RGB", "RGB_ALPHA"};
    std::string out = "P7\nWIDTH " + std::to_string(samples.Width) + "\nHEIGHT " + std::to_string(samples.Height) +
                      "\nDEPTH " + std::to_string(samples.Channels) + "\nMAXVAL " + std::to_string(samples.MaxValue) +
                      "\nTUPLTYPE " + types[samples.Channels] + "\nENDHDR\n";
    for (uint16_t value : samples.Values) {
        if (samples.MaxValue > 255)
            out.push_back(static_cast<char>(value >> 8));
        out.push_back(static_cast<char>(value));
    }
    TMemoryStream stream;
    stream.WriteBytes(out);
    stream.SaveToFile(Utf8ToWide(path));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: qrv_pngtool chunks|topam|recode FILE [OUT] [FILTERS] [INTERLACE]\n");
        return 2;
    }
    StartPngChunkRegistry();
    const std::string command = argv[1];
    try {
        TPngPicture picture;
        Load(picture, argv[2]);
        if (command == "chunks") {
            for (const auto& chunk : picture.Chunks())
                std::printf("%s %zu\n", chunk->Name().c_str(), chunk->Data().size());
            return 0;
        }
        if (command == "topam" && argc >= 4)
            return WritePam(picture, argv[3]);
        if (command == "recode" && argc >= 4) {
            TFilters filters = 0;
            const std::string letters = argc >= 5 ? argv[4] : "s";
            const std::string known = "nsuap";
            for (char c : letters)
                if (auto at = known.find(c); at != std::string::npos)
                    filters |= static_cast<TFilters>(1u << at);
            picture.SetFilterSet(filters);
            if (argc >= 6)
                picture.SetInterlacing(static_cast<uint8_t>(std::stoi(argv[5])));
            TMemoryStream out;
            picture.SaveToStream(out);
            out.SaveToFile(Utf8ToWide(argv[3]));
            return 0;
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
}

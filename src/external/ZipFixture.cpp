#include "external/ZipFixture.h"

#include "external/ZipWriter.h"

#include <algorithm>
#include <cstring>

namespace qrv::external {

std::string BuildZipFixture(const std::vector<TZipFixtureEntry>& Entries, const std::string& Stub,
                            const std::string& Comment)
{
    TStringOutput output;
    TZipWriter writer(output);
    for (const auto& fixture : Entries) {
        TNewEntry entry;
        entry.Name = fixture.Name;
        entry.Utf8Name = fixture.Utf8Name;
        entry.DosTime = fixture.DosTime;
        entry.ExternalAttr = fixture.ExternalAttr;
        entry.Level = fixture.Level;
        entry.Password = fixture.Password.empty() ? nullptr : &fixture.Password;
        size_t at = 0;
        TEntryInput input;
        input.Read = [&](unsigned char* data, size_t count) {
            const size_t n = std::min(count, fixture.Data.size() - at);
            std::memcpy(data, fixture.Data.data() + at, n);
            at += n;
            return n;
        };
        input.Rewind = [&] { at = 0; };
        writer.Add(entry, input);
        if (fixture.DamagedCrc)
            writer.CorruptLastCrc();
        if (fixture.DeclaredSize >= 0)
            writer.DeclareLastSize(static_cast<uint64_t>(fixture.DeclaredSize));
    }
    writer.Finish(Comment);
    return Stub + output.Bytes();
}

}  // namespace qrv::external

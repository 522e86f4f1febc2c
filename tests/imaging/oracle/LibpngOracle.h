#pragma once
// libpng as the oracle of the decoded samples, and the checked-in fixtures.

#include "imaging/PngSamples.h"

#include <string>
#include <vector>

namespace qrv::test {

// The samples libpng reads from a file, unpacked one per channel; 2-bit grey
// scaled by 5 to match the 4 bits it is held with.
TPngSamples LibpngSamples(const std::string& file);

std::string ReadFile(const std::string& path);
std::vector<std::string> FixtureNames();
std::string FixturePath(const std::string& name);

}  // namespace qrv::test

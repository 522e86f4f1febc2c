#pragma once
// The zip fixtures Debian's zip made at build time (see
// fixtures/make-zipdir-fixtures.sh), found by the path the build gives.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace qrv::test {

inline std::string ZipFixturePath(const std::string& name)
{
#ifdef _WIN32
    return std::string("Z:") + QRV_ZIPDIR_FIXTURES + "/" + name;
#else
    return std::string(QRV_ZIPDIR_FIXTURES) + "/" + name;
#endif
}

inline std::string ReadZipFixture(const std::string& name)
{
    std::ifstream in(ZipFixturePath(name), std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qrv::test

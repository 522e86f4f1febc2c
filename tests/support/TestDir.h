#pragma once
// A fresh folder for one test's fixtures, removed with everything in it when
// the object goes. Under Wine the tests run with QRV_TEST_DIR naming a drive
// of their own, so fixtures never touch the Linux root behind drive Z:.

#include <string>

namespace qrv::test {

class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::wstring& Path() const { return path_; }
    // The full name of a file in the folder.
    std::wstring File(const std::wstring& name) const;
    // Writes bytes to a file in the folder and returns its full name.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;
    std::string Read(const std::wstring& name) const;

private:
    std::wstring path_;
};

}  // namespace qrv::test

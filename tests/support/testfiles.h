#pragma once
// Temporary folders and test data for the tests.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaria::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return Path_; }
    std::string File(const std::string& name) const { return (Path_ / name).string(); }

private:
    std::filesystem::path Path_;
};

// Folder of committed test files for the current test program (tests/<folder>/data).
inline std::filesystem::path DataDir()
{
#ifdef TESSARIA_TEST_DATA_DIR
    return TESSARIA_TEST_DATA_DIR;
#else
    return "data";
#endif
}

// The source tree and the build tree (where the programs are).
std::filesystem::path SourceDir();
std::filesystem::path BinaryDir();

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteFile(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFile(const std::string& path);

// Runs a shell command and gives its exit status; output goes to the test log.
int RunCommand(const std::string& command);
// True when an external program (for tests against independent tools) is on PATH.
bool HaveProgram(const std::string& name);

} // namespace tessaria::test

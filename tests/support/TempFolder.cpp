#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace marbleye::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "marbleye-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) path_ = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace marbleye::test

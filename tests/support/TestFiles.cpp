#include "TestFiles.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvarox::testing {

const char* const kExampleTableText =
    " WOD Data Channel Table\r\n"
    "\r\n"
    " Name: Raw Data\r\n"
    " Number: #180\r\n"
    "\r\n"
    "   No.  Orbit   MA   Raw   Trans \r\n"
    " -------------------------------\r\n"
    "   0 ,   316 , 248 , #00 ,   0.0\r\n"
    "   1 ,   316 , 252 , #7F , 127.0\r\n"
    "   2 ,   317 , 000 , #80 , 128.0\r\n"
    "   3 ,   317 , 004 , #FF , 255.0\r\n";

BlockRecipe ExampleTableRecipe() { return RecipeOf("0180", "3C", "F8", "3D", "04", "04", {0x00, 0x7F, 0x80, 0xFF}); }

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvarox-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back permissions that a test may have taken away, then remove everything.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

}  // namespace kelvarox::testing

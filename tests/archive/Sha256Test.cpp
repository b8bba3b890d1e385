#include "archive/Sha256.h"

#include <gtest/gtest.h>

#include "Process.h"
#include "TestFiles.h"

using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

std::string Digest(const std::string& text) {
    return Sha256Hex(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

// The published test vectors, and every length around the padding's turning points against
// the system's sha256sum.
TEST(Sha256, KnownDigestsAndEveryPaddingCase) {
    EXPECT_EQ(Digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    TempDir dir;
    for (size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 512u}) {
        std::string text;
        for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + (i * 7) % 26);
        WriteText(dir / "text", text);
        const auto r = RunProcess("/usr/bin/sha256sum", {(dir / "text").string()});
        EXPECT_EQ(Digest(text), r.out.substr(0, 64)) << length;
    }
}

#include <gtest/gtest.h>

#include "core/DroppedFiles.h"
#include "core/FileNameText.h"

using namespace kelvarox;

TEST(FileNameText, EveryNameComesBackAsItsBytes) {
    // UTF-8 reads as its characters, a pair beyond the first plane included.
    EXPECT_EQ(FileNameToUtf16("caf\xC3\xA9-\xF0\x9F\x9B\xB0.dat"), u"caf\u00E9-\U0001F6F0.dat");
    // A Latin-1 é, a stray continuation, an overlong '/', a surrogate and a cut sequence keep
    // their bytes, each as its own unit.
    EXPECT_EQ(FileNameToUtf16("\xE9t\xE9"), u"\xDCE9t\xDCE9");
    for (const std::string name : {"caf\xC3\xA9-\xF0\x9F\x9B\xB0.dat", "\xE9t\xE9.tlm", "a\x80z", "\xC0\xAF",
                                   "\xED\xA0\x80", "\xED\xB2\x80", "x\xE2\x82", "\xF4\x90\x80\x80", "\xFF"}) {
        const std::u16string text = FileNameToUtf16(name);
        EXPECT_EQ(FileNameFromUtf16(text), name);
    }
    // Text no name gave (a typed lone surrogate) becomes U+FFFD rather than a wrong byte.
    EXPECT_EQ(FileNameFromUtf16(u"a\xD800z"), "a\xEF\xBF\xBDz");
}

TEST(DroppedFiles, LocalPathsOfAUriListAsBytes) {
    const std::string list =
        "# dragged from a file manager\r\n"
        "file:///data/Donn%E9es/%C3%A9t%C3%A9%20x.dat\r\n"
        "file://localhost/b.TLM?query#fragment\r\n"
        "https://example.org/c.dat\r\n"
        "file://otherhost/d.dat\r\n"
        "file:///bad%G1.dat\r\n"
        "file:///cut%E\r\n"
        "file:///zero%00.dat\r\n"
        "FILE:///e.tlm";
    EXPECT_EQ(LocalPathsOfUriList(list), (std::vector<std::string>{"/data/Donn\xE9"
                                                                   "es/\xC3\xA9t\xC3\xA9 x.dat",
                                                                   "/b.TLM", "/e.tlm"}));
}

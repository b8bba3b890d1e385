#include <gtest/gtest.h>

#include "HandWrittenFile.h"
#include "settings/RegistryEncoding.h"
#include "settings/RegistryText.h"

namespace kelvarox {
namespace {

constexpr const char* kTrelm = "HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup";
constexpr const char* kStartup = "HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup";

// UTF-16LE bytes, as regedit writes its files today.
std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Widened(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string WithLineEnds(std::string_view text, std::string_view lineEnd) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string(lineEnd) : std::string(1, c);
    return out;
}

TEST(RegistryText, ReadsEveryKindOfLineOfAHandWrittenFile) {
    const auto doc = ParseRegistryText(testing::kHandWrittenFile);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->sections.size(), 3u);  // a broken continuation never swallows the next section

    const RegistryValue* baud = FindValue(*doc, kTrelm, "BAUD");
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->number, 0x2580u);
    EXPECT_FALSE(TextOfValue(*baud));
    const RegistryValue* window = FindValue(*doc, kTrelm, "Window");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->bytes, "\x01\x02\x03\x04\x05");
    EXPECT_FALSE(TextOfValue(*window));
    EXPECT_EQ(TextOfValue(*FindValue(*doc, kTrelm, "Path")), "%HOME%");  // literal, up to the zero
    EXPECT_FALSE(FindValue(*doc, kTrelm, "Broken"));
    EXPECT_EQ(TextOfValue(*FindValue(*doc, kStartup, "")), "layout \"A\" in C:\\tlm");
    EXPECT_EQ(TextOfValue(*FindValue(*doc, kStartup, "Orbit Offset")), "3");
    EXPECT_FALSE(FindValue(*doc, "HKEY_LOCAL_MACHINE\\Software\\Other", "x"));
    EXPECT_TRUE(KeyExists(*doc, "HKEY_CURRENT_USER\\Software\\Qarn Programs"));
    EXPECT_FALSE(KeyExists(*doc, "HKEY_CURRENT_USER\\Software\\Qarn"));
}

TEST(RegistryText, WritesBackWhatItReadByteForByte) {
    const std::string lf = testing::kHandWrittenFile;
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, crlf}) EXPECT_EQ(WriteRegistryText(*ParseRegistryText(text)), text);
}

TEST(RegistryText, ValuesTheProgramSetsReadBackTheSame) {
    RegistryDocument doc;
    const std::string key = "HKEY_CURRENT_USER\\Software\\Round Trip";
    SetValue(doc, key, RegistryValue::Text("quotes \"and\" \\slashes\\", "C:\\Trelm\\ \"x\" \\"));
    SetValue(doc, key, RegistryValue::Text("", "default"));
    SetValue(doc, key, RegistryValue::Text("two lines", "first\nsecond"));
    RegistryValue dword;
    dword.name = "count";
    dword.type = RegistryValue::Type::Dword;
    dword.number = 0xFFFFFFFFu;
    SetValue(doc, key, dword);
    RegistryValue expandable;
    expandable.name = "long";
    expandable.type = RegistryValue::Type::Hex;
    expandable.hexKind = 2u;
    for (int i = 0; i < 100; ++i) expandable.bytes.push_back(static_cast<char>(i * 7));
    SetValue(doc, key, expandable);
    AddKey(doc, "HKEY_CURRENT_USER\\Software\\Empty");

    const std::string text = WriteRegistryText(doc);
    EXPECT_EQ(ParseRegistryText(text), doc);
    EXPECT_NE(text.find(",\\\n  "), std::string::npos);  // long data continues on further lines
    EXPECT_EQ(TextOfValue(*FindValue(*ParseRegistryText(text), key, "two lines")), "first\nsecond");
}

TEST(RegistryText, ReadsTheFormsUsersHaveAndRewritesEachInItsOwnForm) {
    const std::string body =
        "\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\n"
        "\"Default Directory\"=\"/data/trelm\"\n";
    const std::string version5 = "Windows Registry Editor Version 5.00\n" + body;
    const std::vector<std::pair<std::string, std::string>> forms = {
        {"UTF-8 mark", "\xEF\xBB\xBFREGEDIT4\n" + body},
        {"lower case", "regedit4\n" + body},
        {"blank lines first", "\n \n\t\nREGEDIT4\n" + body},
        {"CR line ends", WithLineEnds("REGEDIT4\n" + body, "\r")},
        {"version 5 in UTF-8", WithLineEnds(version5, "\r\n")},
        {"version 5 in UTF-16", Utf16Le(u"\uFEFF" + Widened(WithLineEnds(version5, "\r\n")))},
    };
    for (const auto& [form, text] : forms) {
        SCOPED_TRACE(form);
        auto doc = ParseRegistryText(text);
        ASSERT_TRUE(doc);
        const RegistryValue* directory = FindValue(*doc, kTrelm, "Default Directory");
        ASSERT_TRUE(directory);
        EXPECT_EQ(TextOfValue(*directory, doc->format.characters), "/data/trelm");
        EXPECT_EQ(WriteRegistryText(*doc), text);

        // A value the program adds comes in the file's own header, encoding and line ends.
        SetValue(*doc, kStartup, RegistryValue::Text("Orbit Offset", "7", doc->format.characters));
        const std::string written = WriteRegistryText(*doc);
        EXPECT_EQ(written.substr(0, text.size()), text);
        const auto reread = ParseRegistryText(written);
        ASSERT_TRUE(reread);
        EXPECT_EQ(reread->format, doc->format);
        EXPECT_EQ(TextOfValue(*FindValue(*reread, kStartup, "Orbit Offset")), "7");
    }
}

TEST(RegistryText, TextsOfVersion5FilesAreUnicodeAndThoseOfRegedit4FilesBytes) {
    // "/data/Mü" and a G clef; "%A€%" as an expandable string, in UTF-16LE bytes.
    const std::string file = Utf16Le(
        u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
        u"\"Dir\"=\"/data/M\u00FC\U0001D11E\"\r\n\"Path\"=hex(2):25,00,41,00,ac,20,25,00,00,00,78,00\r\n");
    auto doc = ParseRegistryText(file);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->format.characters, RegistryCharacters::Unicode);
    EXPECT_EQ(TextOfValue(*FindValue(*doc, "HKEY_CURRENT_USER\\K", "Dir"), RegistryCharacters::Unicode),
              "/data/M\xC3\xBC\xF0\x9D\x84\x9E");
    EXPECT_EQ(TextOfValue(*FindValue(*doc, "HKEY_CURRENT_USER\\K", "Path"), RegistryCharacters::Unicode),
              "%A\xE2\x82\xAC%");

    // A text with a line break is stored as UTF-16 bytes; a Latin-1 text of the windows is
    // taken as its characters.
    EXPECT_EQ(ValidUtf8("M\xFC"), "M\xC3\xBC");
    SetValue(*doc, "HKEY_CURRENT_USER\\K", RegistryValue::Text("Lines", "\xC3\xBC\nb", RegistryCharacters::Unicode));
    const std::string written = WriteRegistryText(*doc);
    EXPECT_NE(written.find(Utf16Le(u"\"Lines\"=hex(1):fc,00,0a,00,62,00,00,00\r\n")), std::string::npos);
    EXPECT_EQ(TextOfValue(*FindValue(*ParseRegistryText(written), "HKEY_CURRENT_USER\\K", "Lines"),
                          RegistryCharacters::Unicode),
              "\xC3\xBC\nb");

    // Half a surrogate pair is kept through a rewrite.
    const std::string lone = Utf16Le(u"\uFEFFWindows Registry Editor Version 5.00\r\n; \xD800 \xDC00\xD800\r\n");
    EXPECT_EQ(WriteRegistryText(*ParseRegistryText(lone)), lone);

    // REGEDIT4: 8-bit bytes as they stand.
    const auto bytes = ParseRegistryText("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Dir\"=\"/data/M\xFC\"\n");
    EXPECT_EQ(TextOfValue(*FindValue(*bytes, "HKEY_CURRENT_USER\\K", "Dir"), bytes->format.characters), "/data/M\xFC");
}

TEST(RegistryText, TellsSettingsTextsFromOtherFiles) {
    RegistryParseError error;
    EXPECT_FALSE(ParseRegistryText("\r\n\r\nKEYFILE 2\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n", &error));
    EXPECT_EQ(error.line, 3u);
    EXPECT_EQ(error.reason, "is not \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
    EXPECT_FALSE(ParseRegistryText(Utf16Le(u"\uFEFFREGEDIT4\r\n[HKEY_CURRENT_USER\\X]") + "x", &error));
    EXPECT_EQ(error.line, 2u);
    EXPECT_EQ(error.reason, "ends in half a UTF-16 character");
    EXPECT_FALSE(ParseRegistryText("[HKEY_CURRENT_USER\\X]\n\"a\"=\"b\"\n"));
    EXPECT_FALSE(ParseRegistryText(std::string("\0REGEDIT4\n", 10)));
    for (const char* empty : {"", "\n\n", " \r\n"}) EXPECT_EQ(ParseRegistryText(empty), RegistryDocument());
    EXPECT_TRUE(ParseRegistryText("REGEDIT4  \r\n"));
}

TEST(RegistryText, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    auto doc = ParseRegistryText(
        "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Form1 Top\"=\"1\"\n[HKEY_CURRENT_USER\\k]\n\"FORM1 TOP\"=\"2\"\n"
        "\"End Amday Addr.\"=\"9\"\n");
    ASSERT_TRUE(doc);
    EXPECT_EQ(TextOfValue(*FindValue(*doc, "hkey_current_user\\K", "form1 top")), "2");  // the last one is in force
    EXPECT_FALSE(FindValue(*doc, "HKEY_CURRENT_USER\\K", "End  Amday Addr."));

    SetValue(*doc, "HKEY_CURRENT_USER\\K", RegistryValue::Text("Form1 Top", "3"));
    SetValue(*doc, "HKEY_CURRENT_USER\\K", RegistryValue::Text("End  Amday Addr.", "4"));
    EXPECT_EQ(WriteRegistryText(*doc),
              "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Form1 Top\"=\"1\"\n[HKEY_CURRENT_USER\\k]\n\"FORM1 TOP\"=\"3\"\n"
              "\"End Amday Addr.\"=\"9\"\n\"End  Amday Addr.\"=\"4\"\n");
}

}  // namespace
}  // namespace kelvarox

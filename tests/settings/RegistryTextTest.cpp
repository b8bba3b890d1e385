#include <gtest/gtest.h>

#include "HandWrittenFile.h"
#include "settings/RegistryText.h"

namespace kelvarox {
namespace {

constexpr const char* kTrelm = "HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup";
constexpr const char* kStartup = "HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup";

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

TEST(RegistryText, TellsSettingsTextsFromOtherFiles) {
    EXPECT_FALSE(ParseRegistryText("KEYFILE 2\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"));
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

// Writes the seed corpora of the fuzz targets: make_fuzz_seeds fuzz/corpus
// Each seed is one case the program meets in practice or at an edge that matters.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>

#include "BlockCase.h"
#include "blockbuilder/BlockBuilder.h"

using namespace kelvarox;
using namespace kelvarox::fuzz;
using kelvarox::blockbuilder::BlockRecipe;
using kelvarox::blockbuilder::BuildBlock;
using kelvarox::blockbuilder::WriteBytes;

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(dir);
    WriteBytes(dir / name, bytes);
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> Samples(int count, int step) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < count; ++i) samples.push_back(static_cast<uint8_t>(i * step));
    return samples;
}

void BlockSeeds(const fs::path& dir) {
    auto put = [&](const std::string& name, BlockCase c) { Put(dir, name, c.Write()); };
    BlockCase c;
    c.orbitHiByte = "0";
    c.cursorX = 300;
    c.cursorY = 200;

    BlockRecipe recipe;
    recipe.samples = Samples(69, 3);
    c.file = BuildBlock(recipe);
    put("good-block", c);

    BlockRecipe full;
    full.channel = "0140";
    full.startOrbit = "00";
    full.endOrbit = "02";
    full.startMA = "00";
    full.endMA = "00";
    full.maStep = "01";
    full.samples = Samples(448, 7);
    BlockCase fullCase = c;
    fullCase.file = BuildBlock(full);
    fullCase.orbitHiByte = "1";
    fullCase.cursorX = 55;
    fullCase.cursorY = 312;
    put("full-384-samples", fullCase);

    BlockRecipe one = recipe;
    one.endOrbit = one.startOrbit;
    one.endMA = one.startMA;
    BlockCase oneCase = c;
    oneCase.file = BuildBlock(one);
    put("one-sample", oneCase);

    BlockRecipe wrap = recipe;
    wrap.startOrbit = "FE";
    wrap.endOrbit = "01";
    BlockCase wrapCase = c;
    wrapCase.file = BuildBlock(wrap);
    put("orbit-byte-wraps", wrapCase);

    BlockCase huge = c;
    huge.coefficients = {std::string("0"), std::string("0"), std::string("1E38"), std::string("-1E38")};
    put("coefficients-1e38", huge);

    BlockCase cubic = c;
    cubic.coefficients = {std::string("1E38"), std::string(""), std::nullopt, std::string("-1E38")};
    cubic.number = "#140";
    put("cubic-1e38", cubic);

    BlockCase shortFile = c;
    shortFile.file.resize(100);
    put("short-file", shortFile);

    BlockCase longFile = c;
    longFile.file.resize(513, ' ');
    put("513-bytes", longFile);

    BlockCase edges = c;
    edges.flags = BlockCase::kExactLength | BlockCase::kSignature;
    const int32_t addresses[] = {
        -1, 510, 511, 512, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -4, 600};
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) edges.layout.Field(i) = addresses[i];
    edges.file.assign(kBlockFileSize, '1');
    put("layout-outside-the-block", edges);

    BlockRecipe zero = recipe;
    zero.maStep = "00";
    BlockCase zeroCase = c;
    zeroCase.file = BuildBlock(zero);
    put("step-0", zeroCase);

    BlockCase hibyte = c;
    hibyte.orbitHiByte = "2147483647";
    hibyte.flags = BlockCase::kLoadAgain;
    put("orbit-hibyte-10-digits", hibyte);

    BlockCase scale = c;
    scale.displayScale = std::numeric_limits<float>::quiet_NaN();
    scale.cursorX = std::numeric_limits<int32_t>::max();
    put("display-scale-nan", scale);

    // A box text holding a line end makes the table's heading one line longer.
    BlockCase lineEnd = c;
    lineEnd.number = "#140\r\n";
    lineEnd.flags = BlockCase::kSignature;
    put("box-text-with-line-end", lineEnd);

    BlockRecipe odd = recipe;
    odd.startAmDay = "  AB";
    odd.endMA = "-1";
    BlockCase oddCase = c;
    oddCase.file = BuildBlock(odd);
    put("fields-of-letters-and-signs", oddCase);
}

struct SettingsSeed {
    std::string keyPath, name, text, file;
};

void SettingsSeeds(const fs::path& dir) {
    auto put = [&](const std::string& name, const SettingsSeed& s) {
        ByteWriter out;
        out.Text(s.keyPath);
        out.Text(s.name);
        out.Text(s.text);
        out.Bytes(Bytes(s.file));
        Put(dir, name, out.bytes());
    };
    const std::string startup = "Software\\Qarn Programs\\Kelvarox\\Startup";
    put("program-file", {startup, "Orbit Offset", "12",
                         "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\r\n"
                         "\"Start Amday Addr.\"=\"464\"\r\n\"End  Amday Addr.\"=\"495\"\r\n\"Orbit Offset\"=\"0\"\r\n"
                         "\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Position]\r\n"
                         "\"Form1 Top\"=\"20\"\r\n\"Form1 Left\"=\"20\"\r\n"});
    put("hand-written", {"Software\\Qarn Programs\\Trelm\\Startup", "Default Directory", "/home/ann/Trelm",
                         "REGEDIT4\n; written by hand\n\n[HKEY_CURRENT_USER\\Software\\Other]\n"
                         "@=\"default \\\"quoted\\\" \\\\ text\"\n\"Count\"=dword:0000001f\n"
                         "\"Bytes\"=hex:01,02,03,\\\n  04,05\n\"Path\"=hex(2):25,00,41,00\n"
                         "\"List\"=hex(7):61,00,00,00\n\"Broken\"=hex:zz\n  [ HKEY_CURRENT_USER\\Software\\Odd ]  \n"
                         "\"a\" = \"spaced\"\nnot a value line\n"});
    put("empty-file", {startup, "Start MA Addr.", "473", ""});
    put("not-a-settings-file", {startup, "Orbit Offset", "1",
                                "\x7f"
                                "ELF\x02\x01\x01\0\0\0binary"});
    put("cut-mid-line", {startup, "End MA Addr.", "504",
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
                         "\"Start MA Addr.\"=\"47"});
    put("text-with-line-feed", {"Software\\New Key", "Lines", "first\nsecond\r\nthird\\\"",
                                "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\New Key]\n\"Lines\"=\"old\"\n"});
    put("same-key-twice", {"software\\qarn programs\\kelvarox\\startup", "ORBIT OFFSET", "-5",
                           "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
                           "\"Orbit Offset\"=\"1\"\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\n"
                           "\"Orbit Offset\"=\"2\"\n\n\n"});
    put("default-value", {"Software\\Qarn Programs", "", "unnamed", "REGEDIT4\r\n"});

    // The forms regedit writes and people leave: version 5 in UTF-16LE with its mark, a UTF-8
    // mark with a lower-case header after blank lines, CR line ends, a long continued value.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\"
                              "Qarn Programs\\Trelm\\Startup]\r\n\"Default Directory\"=\"/home/ann/Trelm\"\r\n"
                              "\"Path\"=hex(2):25,00,48,00,4f,00,00,00\r\n")) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    put("version-5-utf-16", {startup, "Orbit Offset", "M\xFC", utf16});
    put("utf-8-mark-lower-case", {startup, "Orbit Offset", "7",
                                  "\xEF\xBB\xBF\r\n \r\nregedit4\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\"
                                  "Kelvarox\\Startup]\r\n\"Orbit Offset\"=\"3\"\r\n"});
    put("cr-line-ends", {startup, "Lines", "a\rb",
                         "REGEDIT4\r\r[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\r"
                         "\"Bytes\"=hex:01,\\\r  02\r"});
    std::string continued = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Big]\r\n\"Blob\"=hex:";
    for (int line = 0; line < 50; ++line) continued += "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\r\n  ";
    put("long-continued-value", {startup, "Orbit Offset", "1", continued + "ff\r\n"});
}

void TextSeeds(const fs::path& dir) {
    const char* texts[] = {"0",   "12",      "-2147483648", "2147483648", "+7",      "0x17F",        "0xffffffff",
                           "$FF", "  -12",   "1E38",        "-1E38",      "1e39",    "3.4028235E38", "1.5e-46",
                           ".5",  "  2.5  ", "#17F",        "1A",         "0.00000", "-69.72",       "1.235E5"};
    int n = 0;
    for (const char* text : texts) Put(dir, "text-" + std::to_string(n++), Bytes(text));
    // Numbers in the leading bytes: a double, a float, the precision and the decimals.
    auto numbers = [&](double value, float single, uint8_t precision, uint8_t decimals, int32_t day) {
        ByteWriter out;
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        out.Bits32(static_cast<uint32_t>(bits));
        out.Bits32(static_cast<uint32_t>(bits >> 32));
        out.Float(single);
        out.Byte(precision - 1);
        out.Byte(decimals);
        out.Int32(day);
        Put(dir, "numbers-" + std::to_string(n++), out.bytes());
    };
    numbers(9999.96, 9999.96f, 4, 1, 722100 + 8766);
    numbers(0.65911, 0.65911f, 5, 5, 1);
    numbers(-69.72, -69.72f, 5, 2, 0);
    numbers(1e38, 3.4028235e38f, 4, 1, -1);
    numbers(-0.04, -0.04f, 4, 1, std::numeric_limits<int32_t>::min());
    numbers(123456789.0, 1.5e-7f, 18, 18, std::numeric_limits<int32_t>::max());
    // Sixteen digits of a double: more than the doubles near it can tell apart.
    numbers(-4.5380154678115765e279, std::numeric_limits<float>::quiet_NaN(), 16, 13, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds CORPUS_DIR\n";
        return 2;
    }
    const fs::path corpus = argv[1];
    BlockSeeds(corpus / "block");
    SettingsSeeds(corpus / "settings");
    TextSeeds(corpus / "text");
    return 0;
}

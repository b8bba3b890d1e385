#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "BlockState.h"
#include "ErrorOf.h"
#include "TestFiles.h"
#include "core/BlockLoader.h"
#include "core/Errors.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const std::string kLength = "File is improper length, must be 512 bytes!!";
const std::string kFormat = "Improper format for WOD data block!";

struct Loader {
    TempDir dir;
    BlockState state;
    RecordingLoaderView view;

    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const auto path = dir / name;
        WriteBytes(path, bytes);
        return path.string();
    }
    // Load the file as the Load button does; returns the error text, empty when none.
    std::string Load(const std::string& path) {
        state.blockFilePath = path;
        state.loadFailed = false;
        return ErrorOf([&] { PressLoad(state, view); });
    }
};

}  // namespace

TEST(BlockLoader, DecodesTheHeaderAndFillsTheChannelBoxes) {
    Loader t;
    t.view.orbitHiByte = "1";
    BlockRecipe recipe;  // start orbit 3C, MA 10, end orbit 3D, MA 20, step 04, channel 017F
    recipe.startAmDay = "8034";
    recipe.endAmDay = "8035";
    ASSERT_EQ(t.Load(t.Put("a.dat", BuildBlock(recipe))), "");
    const BlockHeader& h = t.state.header;
    EXPECT_EQ(t.state.orbitBase, 256);
    EXPECT_EQ(h.startAmDay, 8034);
    EXPECT_EQ(h.endAmDay, 8035);
    EXPECT_EQ(h.startDateText, "1999  Dec  31 [Fri]");
    EXPECT_EQ(h.endDateText, "2000  Jan  01 [Sat]");
    EXPECT_EQ(h.startOrbit, 316);
    EXPECT_EQ(h.endOrbit, 317);
    EXPECT_EQ(h.startMA, 16);
    EXPECT_EQ(h.endMA, 32);
    EXPECT_EQ(h.maStep, 4);
    EXPECT_EQ(h.channel, 0x17F);
    EXPECT_EQ(h.coefficientRow, 15);
    EXPECT_EQ(h.startPosition, 80912);
    EXPECT_EQ(h.endPosition, 81184);
    EXPECT_EQ(h.lastSampleIndex, 68);
    EXPECT_EQ(h.SampleCount(), 69);
    EXPECT_EQ(h.firstMA, 16);
    EXPECT_FALSE(t.state.loadFailed);
    EXPECT_TRUE(t.view.messages.empty());
    EXPECT_EQ(t.view.disableCount, 0);
    const std::map<ChannelBox, std::string> expected = {{ChannelBox::Name, "[NOT ASSIGNED]"},
                                                        {ChannelBox::Unit, "NA"},
                                                        {ChannelBox::Number, "#17F"},
                                                        {ChannelBox::A, "0.00000"},
                                                        {ChannelBox::B, "0.00000"},
                                                        {ChannelBox::C, "1.00000"},
                                                        {ChannelBox::D, "0.00"}};
    EXPECT_EQ(t.view.boxes, expected);

    recipe.channel = "0180";
    ASSERT_EQ(t.Load(t.Put("b.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.view.boxes[ChannelBox::Name], "Raw Data");
    EXPECT_EQ(t.view.boxes[ChannelBox::Unit], "Count");
    EXPECT_EQ(t.view.boxes[ChannelBox::Number], "#180");
    EXPECT_EQ(t.view.boxes[ChannelBox::C], "1.00000");
    recipe.channel = "1234";
    ASSERT_EQ(t.Load(t.Put("c.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.view.boxes[ChannelBox::Number], "#1234");
    recipe.channel = "0140";
    ASSERT_EQ(t.Load(t.Put("d.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.view.boxes[ChannelBox::Name], "Temp - SEU");
    EXPECT_EQ(t.view.boxes[ChannelBox::D], "-69.72");
}

TEST(BlockLoader, FieldTextsWithBlanks) {
    WodBlock block;
    const char text[] = "  7  FF   17f";  // "  7 ", " F", "F ", "  ", "17f"
    std::copy(text, text + sizeof text - 1, block.bytes.begin() + 100);
    EXPECT_EQ(DecodeDecimalField(block, 100, 4), 7);
    EXPECT_EQ(DecodeHexField(block, 104, 2), 15);  // " F"
    EXPECT_EQ(DecodeHexField(block, 106, 2), 15);  // "F "
    EXPECT_EQ(DecodeHexField(block, 110, 3), 0x17F);
    EXPECT_EQ(ErrorOf([&] { DecodeHexField(block, 108, 2); }), "'0x' is not a valid integer value");  // two blanks
    block.bytes[100] = '-';
    block.bytes[101] = '5';
    EXPECT_EQ(DecodeDecimalField(block, 100, 4), -57);
}

TEST(BlockLoader, FieldsNeverReadOutsideTheBlock) {
    WodBlock block;
    block.bytes.fill('1');
    block.bytes[512] = 0;
    // A field that runs past byte 511 keeps only its characters inside the block.
    EXPECT_EQ(DecodeDecimalField(block, 511, 4), 1);
    EXPECT_EQ(DecodeDecimalField(block, 510, 4), 11);
    // Positions before byte 0 are passed over.
    EXPECT_EQ(DecodeDecimalField(block, -2, 4), 11);
    for (int32_t address : {512, 513, 100000, INT32_MAX, -4, -100000, INT32_MIN}) {
        EXPECT_EQ(ErrorOf([&] { DecodeHexField(block, address, 4); }), "'0x' is not a valid integer value") << address;
    }
}

TEST(BlockLoader, FirstMAOfStartAndStep) {
    EXPECT_EQ(FirstMAOf(10, 4), 12);
    EXPECT_EQ(FirstMAOf(9, 4), 8);
    EXPECT_EQ(FirstMAOf(10, 1), 10);
    EXPECT_EQ(FirstMAOf(0, 2), 0);
    EXPECT_EQ(FirstMAOf(0, 4), 0);
    EXPECT_EQ(FirstMAOf(255, 3), 255);
    EXPECT_EQ(FirstMAOf(10, -4), 12);
}

TEST(BlockLoader, DerivedPositionsAndSampleCounts) {
    Loader t;
    BlockRecipe recipe;
    recipe.startOrbit = "10";
    recipe.endOrbit = "10";
    recipe.startMA = "00";
    recipe.endMA = "07";
    recipe.maStep = "2";
    t.view.orbitHiByte = "12";
    ASSERT_EQ(t.Load(t.Put("a.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.state.orbitBase, 3072);
    EXPECT_EQ(t.state.header.lastSampleIndex, 3);  // 7 / 2, the remainder dropped

    // The orbit byte wrapped within the block: FE to 01 is three orbits on, not 253 back.
    recipe.startOrbit = "FE";
    recipe.endOrbit = "01";
    recipe.startMA = "00";
    recipe.endMA = "00";
    recipe.maStep = "04";
    t.view.orbitHiByte = "0";
    ASSERT_EQ(t.Load(t.Put("b.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.state.header.startOrbit, 254);
    EXPECT_EQ(t.state.header.endOrbit, 257);
    EXPECT_EQ(t.state.header.lastSampleIndex, 192);

    // A header announcing more samples than a block holds is cut to 384.
    recipe.startOrbit = "00";
    recipe.endOrbit = "09";
    recipe.maStep = "01";
    ASSERT_EQ(t.Load(t.Put("c.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.state.header.lastSampleIndex, 2304);
    EXPECT_EQ(t.state.header.SampleCount(), 384);

    // A huge Orbit HiByte wraps instead of overflowing.
    t.view.orbitHiByte = "2147483647";
    ASSERT_EQ(t.Load(t.Put("d.dat", BuildBlock(recipe))), "");
    EXPECT_EQ(t.state.orbitBase, -256);
    EXPECT_EQ(t.state.header.startOrbit, -256);
}

TEST(BlockLoader, ImproperLengthKeepsTheBufferAndDecodesItAgain) {
    Loader t;
    // First load ever of a 100-byte file: the length message, then the format message.
    EXPECT_EQ(t.Load(t.Put("short.dat", std::vector<uint8_t>(100, 'x'))), "");
    EXPECT_EQ(t.view.messages, (std::vector<std::string>{kLength, kFormat}));
    EXPECT_TRUE(t.state.loadFailed);
    EXPECT_EQ(t.view.disableCount, 2);
    EXPECT_EQ(t.state.block.bytes, WodBlock{}.bytes);

    BlockRecipe recipe;
    recipe.samples = {1, 2, 3};
    ASSERT_EQ(t.Load(t.Put("good.dat", BuildBlock(recipe))), "");
    const auto good = t.state.block.bytes;
    const int32_t lastIndex = t.state.header.lastSampleIndex;

    const std::vector<std::string> improper = {
        t.Put("511.dat", std::vector<uint8_t>(511, 'x')),
        t.Put("513.dat", std::vector<uint8_t>(513, 'x')),
        t.Put("empty.dat", {}),
        (t.dir / "missing.dat").string(),
        "",
    };
    for (const auto& path : improper) {
        t.view.messages.clear();
        t.view.boxes.clear();
        EXPECT_EQ(t.Load(path), "") << path;
        // The previous block is decoded again and its channel shown again.
        EXPECT_EQ(t.view.messages, std::vector<std::string>{kLength}) << path;
        EXPECT_TRUE(t.state.loadFailed);
        EXPECT_EQ(t.state.block.bytes, good);
        EXPECT_EQ(t.state.header.lastSampleIndex, lastIndex);
        EXPECT_EQ(t.view.boxes[ChannelBox::Number], "#17F");
    }
}

TEST(BlockLoader, OnlyRegularFilesAreRead) {
    Loader t;
    std::filesystem::create_directory(t.dir / "folder.dat");
    ASSERT_EQ(::mkfifo((t.dir / "pipe.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink(t.dir / "nowhere", t.dir / "dangling.dat");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string socketPath = (t.dir / "socket.dat").string();
    ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    for (const char* name : {"folder.dat", "pipe.dat", "dangling.dat", "socket.dat"}) {
        t.view.messages.clear();
        EXPECT_EQ(t.Load((t.dir / name).string()), "");  // returns at once, even for the FIFO
        EXPECT_EQ(t.view.messages, (std::vector<std::string>{kLength, kFormat})) << name;
    }
    ::close(fd);

    // A symbolic link to a block is read like the block itself.
    const auto target = t.Put("real.dat", BuildBlock(BlockRecipe{}));
    std::filesystem::create_symlink(target, t.dir / "link.dat");
    t.view.messages.clear();
    EXPECT_EQ(t.Load((t.dir / "link.dat").string()), "");
    EXPECT_TRUE(t.view.messages.empty());
    EXPECT_FALSE(t.state.loadFailed);
}

TEST(BlockLoader, SignatureAndConversionFailures) {
    Loader t;
    BlockRecipe recipe;
    recipe.channel = "0140";
    ASSERT_EQ(t.Load(t.Put("good.dat", BuildBlock(recipe))), "");
    const BlockHeader before = t.state.header;

    // Without "Who" the header keeps its values.
    BlockRecipe bad = recipe;
    bad.signature = false;
    bad.startOrbit = "77";
    t.view.boxes.clear();
    EXPECT_EQ(t.Load(t.Put("bad.dat", BuildBlock(bad))), "");
    EXPECT_EQ(t.view.messages, std::vector<std::string>{kFormat});
    EXPECT_TRUE(t.state.loadFailed);
    EXPECT_EQ(t.state.header.startOrbit, before.startOrbit);
    EXPECT_TRUE(t.view.boxes.empty());

    // An Orbit HiByte that is no number stops the load before the file is read.
    t.view.messages.clear();
    const auto buffer = t.state.block.bytes;
    for (const char* text : {"1A", "", "1.5"}) {
        t.view.orbitHiByte = text;
        EXPECT_EQ(t.Load(t.Put("other.dat", BuildBlock(BlockRecipe{}))),
                  std::string("'") + text + "' is not a valid integer value");
        EXPECT_EQ(t.state.block.bytes, buffer);
        EXPECT_TRUE(t.view.messages.empty());
    }
    t.view.orbitHiByte = "0";

    // A field of blanks stops the load at that field; earlier values are already replaced.
    BlockRecipe blanks;
    blanks.startAmDay = "0100";
    blanks.endOrbit = "  ";
    EXPECT_EQ(t.Load(t.Put("blank.dat", BuildBlock(blanks))), "'0x' is not a valid integer value");
    EXPECT_EQ(t.state.header.startAmDay, 100);
    EXPECT_EQ(t.state.header.maStep, before.maStep);
    EXPECT_FALSE(t.state.loadFailed);

    BlockRecipe letters;
    letters.startAmDay = "12AB";
    EXPECT_EQ(t.Load(t.Put("letters.dat", BuildBlock(letters))), "'12AB' is not a valid integer value");
    BlockRecipe signedHex;
    signedHex.startMA = "-1";
    EXPECT_EQ(t.Load(t.Put("signed.dat", BuildBlock(signedHex))), "'0x-1' is not a valid integer value");

    // A step of 0 stops at the division, after the channel boxes were filled.
    BlockRecipe zero;
    zero.maStep = "00";
    zero.channel = "0141";
    t.view.boxes.clear();
    EXPECT_EQ(t.Load(t.Put("zero.dat", BuildBlock(zero))), "Division by zero");
    EXPECT_EQ(t.state.header.channel, 0x141);
    EXPECT_EQ(t.view.boxes[ChannelBox::Name], "Temp - EPU");
}

// Everything a telemetry directory can throw at the loader, the series, the graph and the
// table, each with the message it gets and the state it leaves. Nothing may crash, hang, read
// outside the block; the sanitizer build of this suite proves the reads (the block lies on the
// heap, and every index into it is checked).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <thread>

#include "BadBlocks.h"
#include "BlockState.h"
#include "ErrorOf.h"
#include "core/BlockLoader.h"
#include "core/DataTable.h"
#include "core/Errors.h"
#include "core/GraphPicture.h"

using namespace kelvarox;
using namespace kelvarox::testing;
namespace fs = std::filesystem;

namespace {

using Buffer = std::array<uint8_t, kBlockFileSize + 1>;

// A telemetry directory and the program state loading from it as the Load button does.
struct Telemetry {
    TempDir dir;
    // On the heap with the block first in it: a read before byte 0 meets a red zone.
    std::unique_ptr<BlockState> state = std::make_unique<BlockState>();
    RecordingLoaderView view;

    std::string Put(const std::string& name, const Bytes& bytes) {
        WriteBytes(dir / name, bytes);
        return (dir / name).string();
    }
    // The load's error text, empty when none; view.messages holds the boxes it showed.
    std::string Load(const std::string& path) {
        view.messages.clear();
        state->blockFilePath = path;
        state->loadFailed = false;
        return ErrorOf([&] { PressLoad(*state, view); });
    }
    const Buffer& Block() const { return state->block.bytes; }
    // The main window's boxes as the load left them.
    ChannelBoxTexts Boxes() const {
        auto box = [&](ChannelBox b) {
            const auto found = view.boxes.find(b);
            return found == view.boxes.end() ? std::string() : found->second;
        };
        return {box(ChannelBox::Name), box(ChannelBox::Unit), box(ChannelBox::Number), box(ChannelBox::A),
                box(ChannelBox::B),    box(ChannelBox::C),    box(ChannelBox::D),      view.orbitHiByte};
    }
    // The Table button on those boxes: the table's text.
    std::string Table(const ChannelBoxTexts& boxes) {
        if (!PrepareSeries(*state, boxes)) return "";
        return DataTableText(boxes.name, boxes.number, state->block, state->header, state->series);
    }
};

Buffer BufferOf(const Bytes& file) {
    Buffer buffer{};
    std::copy(file.begin(), file.end(), buffer.begin());
    return buffer;
}

std::string LabelText(const GraphPicture& picture, GraphLabel label) {
    for (const DrawStep& step : picture.steps)
        if (step.kind == DrawStep::Kind::SetLabel && step.label == label) return step.text;
    return "<none>";
}

// The value column of a table row, as padded.
std::string ValueOf(const std::string& row) { return row.substr(row.rfind(" , ") + 3); }

// The rows of a table text without its seven heading lines.
std::vector<std::string> TableRows(const std::string& table) {
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t end; (end = table.find("\r\n", start)) != std::string::npos; start = end + 2)
        rows.push_back(table.substr(start, end - start));
    rows.erase(rows.begin(), rows.begin() + std::min<size_t>(7, rows.size()));
    return rows;
}

}  // namespace

TEST(BadBlockFiles, WrongLengthsGiveTheLengthMessageAndKeepTheBlockInMemory) {
    Telemetry t;
    const Bytes good = BuildBlock(GoodRecipe());
    Bytes longer = good;
    longer.push_back(0);
    const std::vector<std::string> files = {
        t.Put("empty.dat", {}),
        t.Put("511.dat", Bytes(good.begin(), good.end() - 1)),
        t.Put("513.dat", longer),
        SparseFile(t.dir / "huge.dat", kFourGiB, good),
        // Its length taken as 32 bits would be 512.
        SparseFile(t.dir / "4GiB-and-512.dat", kFourGiB + 512, good),
    };
    // Before any block: the length message, then the format message of the empty buffer.
    for (const auto& file : files) {
        EXPECT_EQ(t.Load(file), "") << file;
        EXPECT_EQ(t.view.messages, (std::vector<std::string>{kLength, kFormat})) << file;
        EXPECT_TRUE(t.state->loadFailed);
        EXPECT_EQ(t.Block(), Buffer{}) << file;
    }
    // After a good block: the length message only, and that block decoded and shown again.
    ASSERT_EQ(t.Load(t.Put("good.dat", good)), "");
    for (const auto& file : files) {
        t.view.boxes.clear();
        t.state->header = BlockHeader{};
        EXPECT_EQ(t.Load(file), "") << file;
        EXPECT_EQ(t.view.messages, std::vector<std::string>{kLength}) << file;
        EXPECT_TRUE(t.state->loadFailed);
        EXPECT_EQ(t.Block(), BufferOf(good)) << file;
        EXPECT_EQ(t.state->header.lastSampleIndex, 68);
        EXPECT_EQ(t.view.boxes[ChannelBox::Name], "Temp - SEU");
    }
}

TEST(BadBlockFiles, WhatIsNoRegularFileIsRefusedAtOnce) {
    Telemetry t;
    const Bytes good = BuildBlock(GoodRecipe());
    fs::create_directory(t.dir / "folder.dat");
    fs::create_directory_symlink(t.dir / "folder.dat", t.dir / "folder-link.dat");
    fs::create_symlink(t.dir / "nowhere", t.dir / "dangling.dat");
    fs::create_symlink(t.dir / "loop-b.dat", t.dir / "loop-a.dat");
    fs::create_symlink(t.dir / "loop-a.dat", t.dir / "loop-b.dat");
    fs::create_symlink("/dev/zero", t.dir / "zero.dat");  // reads for ever
    fs::create_symlink("/dev/null", t.dir / "null.dat");
    // A regular file whose stated length (0) is not what it reads.
    fs::create_symlink("/proc/self/status", t.dir / "status.dat");
    // A FIFO holding a whole block, its writer still there: refused without reading it.
    ASSERT_EQ(::mkfifo((t.dir / "pipe.dat").c_str(), 0600), 0);
    const int writer = ::open((t.dir / "pipe.dat").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, good.data(), good.size()), static_cast<ssize_t>(good.size()));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (t.dir / "socket.dat").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);

    ASSERT_EQ(t.Load(t.Put("good.dat", good)), "");
    for (const char* name : {"folder.dat", "folder-link.dat", "dangling.dat", "loop-a.dat", "zero.dat", "null.dat",
                             "status.dat", "pipe.dat", "socket.dat"}) {
        EXPECT_EQ(t.Load((t.dir / name).string()), "") << name;
        EXPECT_EQ(t.view.messages, std::vector<std::string>{kLength}) << name;
        EXPECT_TRUE(t.state->loadFailed) << name;
        EXPECT_EQ(t.Block(), BufferOf(good)) << name;
    }
    Bytes waiting(good.size());
    EXPECT_EQ(::read(writer, waiting.data(), waiting.size()), static_cast<ssize_t>(good.size()));
    ::close(writer);
    ::close(listener);
}

namespace {

// Runs `work` on a thread whose file system identity is the unprivileged user nobody, so that
// permission bits count even when the tests run as root (the identity belongs to that thread
// alone). False when the identity cannot be taken.
bool RunAsNobody(const std::function<void()>& work) {
    if (::geteuid() != 0) {
        work();
        return true;
    }
    bool taken = false;
    std::thread thread([&] {
        ::setfsgid(65534);
        ::setfsuid(65534);
        taken = ::setfsuid(static_cast<uid_t>(-1)) == 65534;  // an invalid id only reports the current one
        if (taken) work();
    });
    thread.join();
    return taken;
}

}  // namespace

TEST(BadBlockFiles, FilesWithoutReadPermissionGiveTheLengthMessage) {
    Telemetry t;
    fs::permissions(t.dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    BlockRecipe other = GoodRecipe();
    other.channel = "0171";
    const Bytes readable = BuildBlock(other);
    const std::string open = t.Put("readable.dat", readable);
    const std::string locked = t.Put("locked.dat", BuildBlock(GoodRecipe()));
    fs::permissions(locked, fs::perms::none);
    fs::create_directory(t.dir / "closed");
    const std::string inClosed = t.Put("closed/inside.dat", BuildBlock(GoodRecipe()));
    fs::permissions(t.dir / "closed", fs::perms::none);

    std::vector<std::string> errors, openMessages, lockedMessages, closedMessages;
    const bool ran = RunAsNobody([&] {
        errors.push_back(t.Load(open));
        openMessages = t.view.messages;
        errors.push_back(t.Load(locked));
        lockedMessages = t.view.messages;
        errors.push_back(t.Load(inClosed));
        closedMessages = t.view.messages;
    });
    if (!ran) GTEST_SKIP() << "the file system identity cannot be changed here";
    EXPECT_EQ(errors, (std::vector<std::string>{"", "", ""}));
    EXPECT_TRUE(openMessages.empty());
    EXPECT_EQ(lockedMessages, std::vector<std::string>{kLength});
    EXPECT_EQ(closedMessages, std::vector<std::string>{kLength});
    EXPECT_TRUE(t.state->loadFailed);
    EXPECT_EQ(t.Block(), BufferOf(readable));
    EXPECT_EQ(t.view.boxes[ChannelBox::Name], "I-SA-1 - BCR - 1");
}

TEST(BadBlockFiles, AFileThatGrowsAndShrinksWhileReadIsReadWholeOrNotAtAll) {
    Telemetry t;
    BlockRecipe other = GoodRecipe();
    other.channel = "0171";
    const Bytes steadyBytes = BuildBlock(other);
    const std::string steady = t.Put("steady.dat", steadyBytes);
    const Bytes block = BuildBlock(GoodRecipe());
    // Only the length changes, never below byte 506: from there on the block holds zeros, so
    // at every moment the file is the block as far as it reaches, then zeros.
    ASSERT_TRUE(std::all_of(block.begin() + 506, block.end(), [](uint8_t b) { return b == 0; }));
    const std::string moving = t.Put("moving.dat", block);
    const int fd = ::open(moving.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const off_t lengths[] = {506, 512, 513, 4096, 511, 512};
        for (size_t i = 0; !done.load(); ++i) {
            if (::ftruncate(fd, lengths[i % 6]) != 0) break;
        }
    });
    int whole = 0, refused = 0, mixed = 0;
    for (int n = 0; n < 2000; ++n) {
        ASSERT_EQ(t.Load(steady), "");
        ASSERT_EQ(t.Load(moving), "");
        if (t.view.messages.empty() && t.Block() == BufferOf(block) && !t.state->loadFailed) {
            ++whole;
        } else if (t.view.messages == std::vector<std::string>{kLength} && t.Block() == BufferOf(steadyBytes) &&
                   t.state->loadFailed) {
            ++refused;
        } else {
            ++mixed;
        }
    }
    done = true;
    writer.join();
    ::close(fd);
    // Which loads met the file at 512 bytes is up to the scheduler; none may mix the two.
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(whole + refused, 2000);
    std::cout << "whole: " << whole << ", refused: " << refused << "\n";
}

namespace {

// The eight decoded header values in the order the load decodes them.
std::array<int32_t, 8> Decoded(const BlockHeader& h) {
    return {h.startAmDay, h.endAmDay, h.startOrbit, h.startMA, h.endOrbit, h.endMA, h.maStep, h.channel};
}

}  // namespace

TEST(BadBlockHeaders, FieldsOfSpacesLettersSignsAndAZeroStep) {
    // The second block differs from the first in every field; `field` is its place in the
    // decoding order, and the fields before it take the second block's values.
    BlockRecipe second = GoodRecipe();
    second.startAmDay = "9000";
    second.endAmDay = "9001";
    second.startOrbit = "50";
    second.startMA = "08";
    second.endOrbit = "51";
    second.endMA = "0C";
    second.maStep = "02";
    second.channel = "0171";
    struct Case {
        std::string BlockRecipe::*member;
        int field;
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {&BlockRecipe::startAmDay, 0, "    ", "'' is not a valid integer value"},
        {&BlockRecipe::startAmDay, 0, "12AB", "'12AB' is not a valid integer value"},
        {&BlockRecipe::endAmDay, 1, "1 A ", "'1A' is not a valid integer value"},
        {&BlockRecipe::startOrbit, 2, "  ", "'0x' is not a valid integer value"},
        {&BlockRecipe::startOrbit, 2, "GZ", "'0xGZ' is not a valid integer value"},
        {&BlockRecipe::startMA, 3, "-1", "'0x-1' is not a valid integer value"},
        {&BlockRecipe::endOrbit, 4, "+F", "'0x+F' is not a valid integer value"},
        {&BlockRecipe::endMA, 5, "x1", "'0xx1' is not a valid integer value"},
        {&BlockRecipe::maStep, 6, "  ", "'' is not a valid integer value"},
        {&BlockRecipe::maStep, 6, "+-", "'+-' is not a valid integer value"},
        {&BlockRecipe::channel, 7, "    ", "'0x' is not a valid integer value"},
        {&BlockRecipe::channel, 7, "-140", "'0x-140' is not a valid integer value"},
        // The step is decoded, then divides: all eight fields are the second block's.
        {&BlockRecipe::maStep, 8, "00", "Division by zero"},
        {&BlockRecipe::maStep, 8, "-0", "Division by zero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " -> " + c.error);
        Telemetry t;
        ASSERT_EQ(t.Load(t.Put("first.dat", BuildBlock(GoodRecipe()))), "");
        const BlockHeader first = t.state->header;
        ASSERT_EQ(t.Load(t.Put("second.dat", BuildBlock(second))), "");
        const BlockHeader wanted = t.state->header;
        ASSERT_EQ(t.Load(t.Put("first.dat", BuildBlock(GoodRecipe()))), "");

        BlockRecipe bad = second;
        bad.*c.member = c.text;
        t.view.boxes.clear();
        EXPECT_EQ(t.Load(t.Put("bad.dat", BuildBlock(bad))), c.error);
        EXPECT_TRUE(t.view.messages.empty());
        EXPECT_FALSE(t.state->loadFailed);
        for (int k = 0; k < 8; ++k) {
            const int32_t expected = c.field == 8 && k == 6 ? 0 : Decoded(k < c.field ? wanted : first)[k];
            EXPECT_EQ(Decoded(t.state->header)[k], expected) << "field " << k;
        }
        // The boxes are filled after the channel: only a failing step shows the new channel.
        EXPECT_EQ(t.view.boxes[ChannelBox::Name], c.field == 8 ? "I-SA-1 - BCR - 1" : "");
        EXPECT_EQ(t.state->header.lastSampleIndex, first.lastSampleIndex);
    }

    // Signs where a decimal field allows them: a negative step gives a block without samples.
    Telemetry t;
    BlockRecipe sign = GoodRecipe();
    sign.startAmDay = "-100";
    sign.endAmDay = "+100";
    sign.maStep = "-4";
    ASSERT_EQ(t.Load(t.Put("signs.dat", BuildBlock(sign))), "");
    EXPECT_EQ(t.state->header.startAmDay, -100);
    EXPECT_EQ(t.state->header.startDateText, "1977  Sep  23 [Fri]");
    EXPECT_EQ(t.state->header.endAmDay, 100);
    EXPECT_EQ(t.state->header.lastSampleIndex, -68);
    EXPECT_EQ(TableRows(t.Table(t.Boxes())), std::vector<std::string>{});
    const auto picture = BuildGraphPicture(*t.state, t.Boxes());
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(TracePoints(t.state->series, t.state->axis), std::vector<GraphPoint>{});
}

TEST(BadBlockLayouts, EveryAddressFromMinus1To520ForEveryField) {
    // Every byte of the block is the digit 1 but the signature: a field decodes to as many
    // ones as it has positions inside the block, and fails where it covers the signature or
    // lies wholly outside.
    Telemetry t;
    Bytes ones(kBlockFileSize, '1');
    ones[3] = 'W';
    ones[4] = 'h';
    ones[5] = 'o';
    const std::string path = t.Put("ones.dat", ones);
    const std::array<int, 8> widths = {4, 4, 2, 2, 2, 2, 2, 4};
    const std::array<bool, 8> hex = {false, false, true, true, true, true, false, true};
    int loads = 0;
    for (int field = 0; field < BlockLayout::kFieldCount; ++field) {
        for (int32_t address = -1; address <= 520; ++address) {
            t.state->layout = BlockLayout{};
            t.state->layout.Field(field) = address;
            std::string text;
            for (int32_t p = address; p < address + widths[field]; ++p)
                if (p >= 0 && p < kBlockFileSize) text += static_cast<char>(ones[static_cast<size_t>(p)]);
            const std::string converted = hex[field] ? "0x" + text : text;
            const bool number = !text.empty() && text.find_first_not_of('1') == std::string::npos;
            const std::string error = t.Load(path);
            ++loads;
            if (!number) {
                EXPECT_EQ(error, "'" + converted + "' is not a valid integer value") << field << " " << address;
                continue;
            }
            ASSERT_EQ(error, "") << field << " " << address;
            const int32_t value = static_cast<int32_t>(std::stol(text, nullptr, hex[field] ? 16 : 10));
            const BlockHeader& h = t.state->header;
            // The end orbit of a block that crossed a multiple of 256 orbits is 256 further on.
            const int32_t crossed = field == 3 && value < 0x11 ? 256 : 0;
            const std::array<int32_t, 8> decoded = {h.startAmDay, h.endAmDay, h.startOrbit, h.endOrbit - crossed,
                                                    h.startMA,    h.endMA,    h.maStep,     h.channel};
            EXPECT_EQ(decoded[static_cast<size_t>(field)], value) << field << " " << address;
            EXPECT_EQ(TableRows(t.Table(t.Boxes())).size(), static_cast<size_t>(h.SampleCount()));
        }
    }
    EXPECT_EQ(loads, 8 * 522);
}

TEST(BadBlockHeaders, OrbitHiByteTextsOfTenDigits) {
    Telemetry t;
    const std::string good = t.Put("good.dat", BuildBlock(GoodRecipe()));
    // Orbit numbers wrap modulo 2^32; the block keeps its 69 samples.
    const std::vector<std::pair<std::string, int32_t>> wrapping = {
        {"2147483647", -196}, {"1000000000", -1698037700}, {"-2147483648", 60}, {"0000000012", 3132}};
    for (const auto& [text, startOrbit] : wrapping) {
        SCOPED_TRACE(text);
        t.view.orbitHiByte = text;
        ASSERT_EQ(t.Load(good), "");
        EXPECT_EQ(t.state->header.startOrbit, startOrbit);
        EXPECT_EQ(t.state->header.endOrbit, static_cast<int32_t>(static_cast<uint32_t>(startOrbit) + 1));
        EXPECT_EQ(t.state->header.SampleCount(), 69);
        const auto picture = BuildGraphPicture(*t.state, t.Boxes());
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(LabelText(*picture, GraphLabel::StartOrbit), "Orbit# " + std::to_string(startOrbit));
        const auto rows = TableRows(t.Table(t.Boxes()));
        ASSERT_EQ(rows.size(), 69u);
        EXPECT_NE(rows.front().find(" " + std::to_string(startOrbit) + " , 016 ,"), std::string::npos) << rows.front();
    }
    // Beyond 32 bits: the load stops before the file is read, and so do Graph and Table.
    BlockRecipe other = GoodRecipe();
    other.channel = "0171";
    const std::string second = t.Put("second.dat", BuildBlock(other));
    const Buffer before = t.Block();
    for (const std::string text : {"4294967296", "9999999999", "-2147483649"}) {
        t.view.orbitHiByte = text;
        const std::string error = "'" + text + "' is not a valid integer value";
        EXPECT_EQ(t.Load(second), error);
        EXPECT_TRUE(t.view.messages.empty());
        EXPECT_EQ(t.Block(), before);
        EXPECT_EQ(ErrorOf([&] { (void)BuildGraphPicture(*t.state, t.Boxes()); }), error);
    }
}

TEST(BadCoefficients, OneE38ShowsAsINFThroughTheSeriesAxisGraphAndTable) {
    Telemetry t;
    BlockRecipe recipe = GoodRecipe();
    recipe.samples = {0, 1, 2, 255};
    ASSERT_EQ(t.Load(t.Put("block.dat", BuildBlock(recipe))), "");

    ChannelBoxTexts boxes = t.Boxes();
    boxes.a = "0";
    boxes.b = "0";
    boxes.c = "1E38";
    boxes.d = "0";
    auto picture = BuildGraphPicture(*t.state, boxes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(t.state->series.dataMax, std::numeric_limits<float>::infinity());
    EXPECT_EQ(t.state->series.dataMin, 0.0f);
    EXPECT_EQ(LevelTexts(t.state->axis), (std::array<std::string, 5>{"0.0", "INF", "INF", "INF", "INF"}));
    EXPECT_EQ(LabelText(*picture, GraphLabel::Level4), "INF");
    // Finite values lie at the foot of an infinite axis, the infinite one at its top.
    const auto trace = TracePoints(t.state->series, t.state->axis);
    ASSERT_EQ(trace.size(), 2u * 69 - 1);
    EXPECT_EQ(trace[4].y, graph::kPlotBottom);  // sample 2, 2E38
    EXPECT_EQ(trace[5].y, graph::kPlotTop);     // sample 3, INF
    for (const DrawStep& step : picture->steps) {
        EXPECT_LE(std::abs(step.at.x), graph::kCoordinateLimit);
        EXPECT_LE(std::abs(step.at.y), graph::kCoordinateLimit);
    }
    EXPECT_EQ(ReadCursor(picture->readout, 200, 100).value, "INF");
    auto rows = TableRows(t.Table(boxes));
    ASSERT_EQ(rows.size(), 69u);
    EXPECT_EQ(ValueOf(rows[1]), " 1E38");
    EXPECT_EQ(ValueOf(rows[2]), " 2E38");
    EXPECT_EQ(ValueOf(rows[3]), "  INF");

    boxes.c = "-1E38";
    picture = BuildGraphPicture(*t.state, boxes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(LevelTexts(t.state->axis), (std::array<std::string, 5>{"-INF", "NAN", "NAN", "NAN", "0.0"}));
    rows = TableRows(t.Table(boxes));
    EXPECT_EQ(ValueOf(rows[1]), "-1E38");
    EXPECT_EQ(ValueOf(rows[3]), " -INF");

    // A cubic and a constant that cancel: -1E38 at 0, 0 at 1, INF from 2 on.
    boxes.a = "1E38";
    boxes.c = "0";
    boxes.d = "-1E38";
    rows = TableRows(t.Table(boxes));
    EXPECT_EQ(ValueOf(rows[0]), "-1E38");
    EXPECT_EQ(ValueOf(rows[1]), "  0.0");
    EXPECT_EQ(ValueOf(rows[2]), "  INF");
    ASSERT_TRUE(BuildGraphPicture(*t.state, boxes).has_value());
    EXPECT_EQ(LevelTexts(t.state->axis)[0], "-1E38");
    EXPECT_EQ(LevelTexts(t.state->axis)[4], "INF");

    // Beyond the float range a box does not convert.
    boxes.a = "1E39";
    EXPECT_EQ(ErrorOf([&] { t.Table(boxes); }), "Floating point overflow");
}

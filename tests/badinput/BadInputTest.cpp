// Everything a telemetry directory or a settings file can throw at the program, each with the
// message it gets and the state it leaves. Nothing may crash, hang, read outside the block
// or lose a stored value; the sanitizer build of this suite proves the reads (the block lies
// on the heap, and every index into it is checked).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <thread>

#include "ErrorOf.h"
#include "BlockState.h"
#include "SettingsTestSupport.h"
#include "UiTestSupport.h"
#include "core/BlockLoader.h"
#include "core/DataTable.h"
#include "core/Errors.h"
#include "core/GraphAction.h"
#include "settings/SettingsKey.h"
#include "settings/StartupSettings.h"
#include "ui/FileListBox.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;
namespace fs = std::filesystem;

namespace {

const std::string kLength = "File is improper length, must be 512 bytes!!";
const std::string kFormat = "Improper format for WOD data block!";
const std::string kStartup = "Software\\Qarn Programs\\Kelvarox\\Startup";
constexpr uint64_t kFourGiB = uint64_t{1} << 32;

using Bytes = std::vector<uint8_t>;
using Buffer = std::array<uint8_t, kBlockFileSize + 1>;

// The block every test starts from: channel 0x140, start orbit 3C MA 10, end orbit 3D MA 20,
// step 4, so 69 samples.
BlockRecipe GoodRecipe() {
    BlockRecipe recipe;
    recipe.channel = "0140";
    recipe.startAmDay = "8034";
    recipe.endAmDay = "8035";
    for (int i = 0; i < 69; ++i) recipe.samples.push_back(static_cast<uint8_t>(3 * i));
    return recipe;
}

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
        state->BlockFilePath = path;
        state->LoadFailed = false;
        return ErrorOf([&] { LoadInfo(*state, view); });
    }
    const Buffer& Block() const { return state->Block.bytes; }
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
        return DataTableText(boxes.name, boxes.number, state->Block, state->Header, state->Series);
    }
};

Buffer BufferOf(const Bytes& file) {
    Buffer buffer{};
    std::copy(file.begin(), file.end(), buffer.begin());
    return buffer;
}

// A file of `length` bytes that holds only `start` on disk, the rest a hole.
std::string SparseFile(const fs::path& path, uint64_t length, const Bytes& start) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(length)), 0) << path;
    EXPECT_EQ(::pwrite(fd, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));
    ::close(fd);
    return path.string();
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
        EXPECT_TRUE(t.state->LoadFailed);
        EXPECT_EQ(t.Block(), Buffer{}) << file;
    }
    // After a good block: the length message only, and that block decoded and shown again.
    ASSERT_EQ(t.Load(t.Put("good.dat", good)), "");
    for (const auto& file : files) {
        t.view.boxes.clear();
        t.state->Header = BlockHeader{};
        EXPECT_EQ(t.Load(file), "") << file;
        EXPECT_EQ(t.view.messages, std::vector<std::string>{kLength}) << file;
        EXPECT_TRUE(t.state->LoadFailed);
        EXPECT_EQ(t.Block(), BufferOf(good)) << file;
        EXPECT_EQ(t.state->Header.LastSampleIndex, 68);
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
        EXPECT_TRUE(t.state->LoadFailed) << name;
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
    EXPECT_TRUE(t.state->LoadFailed);
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
        if (t.view.messages.empty() && t.Block() == BufferOf(block) && !t.state->LoadFailed) {
            ++whole;
        } else if (t.view.messages == std::vector<std::string>{kLength} && t.Block() == BufferOf(steadyBytes) &&
                   t.state->LoadFailed) {
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
    return {h.StartAmDay, h.EndAmDay, h.StartOrbit, h.StartMA, h.EndOrbit, h.EndMA, h.MAStep, h.Channel};
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
        const BlockHeader first = t.state->Header;
        ASSERT_EQ(t.Load(t.Put("second.dat", BuildBlock(second))), "");
        const BlockHeader wanted = t.state->Header;
        ASSERT_EQ(t.Load(t.Put("first.dat", BuildBlock(GoodRecipe()))), "");

        BlockRecipe bad = second;
        bad.*c.member = c.text;
        t.view.boxes.clear();
        EXPECT_EQ(t.Load(t.Put("bad.dat", BuildBlock(bad))), c.error);
        EXPECT_TRUE(t.view.messages.empty());
        EXPECT_FALSE(t.state->LoadFailed);
        for (int k = 0; k < 8; ++k) {
            const int32_t expected = c.field == 8 && k == 6 ? 0 : Decoded(k < c.field ? wanted : first)[k];
            EXPECT_EQ(Decoded(t.state->Header)[k], expected) << "field " << k;
        }
        // The boxes are filled after the channel: only a failing step shows the new channel.
        EXPECT_EQ(t.view.boxes[ChannelBox::Name], c.field == 8 ? "I-SA-1 - BCR - 1" : "");
        EXPECT_EQ(t.state->Header.LastSampleIndex, first.LastSampleIndex);
    }

    // Signs where a decimal field allows them: a negative step gives a block without samples.
    Telemetry t;
    BlockRecipe sign = GoodRecipe();
    sign.startAmDay = "-100";
    sign.endAmDay = "+100";
    sign.maStep = "-4";
    ASSERT_EQ(t.Load(t.Put("signs.dat", BuildBlock(sign))), "");
    EXPECT_EQ(t.state->Header.StartAmDay, -100);
    EXPECT_EQ(t.state->Header.StartDateText, "1977  Sep  23 [Fri]");
    EXPECT_EQ(t.state->Header.EndAmDay, 100);
    EXPECT_EQ(t.state->Header.LastSampleIndex, -68);
    EXPECT_EQ(TableRows(t.Table(t.Boxes())), std::vector<std::string>{});
    const auto picture = BuildGraphPicture(*t.state, t.Boxes());
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(TracePoints(t.state->Series, t.state->Axis), std::vector<GraphPoint>{});
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
            t.state->Layout = BlockLayout{};
            t.state->Layout.Field(field) = address;
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
            const BlockHeader& h = t.state->Header;
            // The end orbit of a block that crossed a multiple of 256 orbits is 256 further on.
            const int32_t crossed = field == 3 && value < 0x11 ? 256 : 0;
            const std::array<int32_t, 8> decoded = {h.StartAmDay, h.EndAmDay, h.StartOrbit, h.EndOrbit - crossed,
                                                    h.StartMA,    h.EndMA,    h.MAStep,     h.Channel};
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
        EXPECT_EQ(t.state->Header.StartOrbit, startOrbit);
        EXPECT_EQ(t.state->Header.EndOrbit, static_cast<int32_t>(static_cast<uint32_t>(startOrbit) + 1));
        EXPECT_EQ(t.state->Header.SampleCount(), 69);
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
    EXPECT_EQ(t.state->Series.DataMax, std::numeric_limits<float>::infinity());
    EXPECT_EQ(t.state->Series.DataMin, 0.0f);
    EXPECT_EQ(LevelTexts(t.state->Axis), (std::array<std::string, 5>{"0.0", "INF", "INF", "INF", "INF"}));
    EXPECT_EQ(LabelText(*picture, GraphLabel::Level4), "INF");
    // Finite values lie at the foot of an infinite axis, the infinite one at its top.
    const auto trace = TracePoints(t.state->Series, t.state->Axis);
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
    EXPECT_EQ(LevelTexts(t.state->Axis), (std::array<std::string, 5>{"-INF", "NAN", "NAN", "NAN", "0.0"}));
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
    EXPECT_EQ(LevelTexts(t.state->Axis)[0], "-1E38");
    EXPECT_EQ(LevelTexts(t.state->Axis)[4], "INF");

    // Beyond the float range a box does not convert.
    boxes.a = "1E39";
    EXPECT_EQ(ErrorOf([&] { t.Table(boxes); }), "Floating point overflow");
}

namespace {

// The values in force of a settings text by key and name, compared without case as the store does.
std::map<std::pair<std::string, std::string>, RegistryValue> ValuesInForce(const std::string& text) {
    auto fold = [](std::string s) {
        for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return s;
    };
    std::map<std::pair<std::string, std::string>, RegistryValue> values;
    const auto doc = ParseRegistryText(text);
    if (!doc) return values;
    // The last value of a name in the sections of its key is the one in force.
    for (const auto& section : doc->sections)
        for (const auto& entry : section.entries)
            if (entry.value) values[{fold(section.path), fold(entry.value->name)}] = *entry.value;
    return values;
}

std::string StartupSection(const std::string& values) {
    return "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + kStartup + "]\r\n" + values;
}

}  // namespace

TEST(BadSettingsFiles, EachGetsItsMessageAndLosesNoStoredValue) {
    std::string junk = "REGEDIT4\r\n";
    for (int b = 1; b < 256; ++b) junk += static_cast<char>(b == '\n' ? 0 : b);
    junk += "\n\r\r\n" + std::string("\0\0\xff\xfe", 4) + "\r\n";
    junk += "[HKEY_CURRENT_USER\\" + kStartup + "]\r\n\"Orbit Offset\"=\"5\"\r\n";
    std::string tenMegabytes = StartupSection("\"Orbit Offset\"=\"3\"\r\n\"Start MA Addr.\"=\"200\"\r\n\r\n");
    tenMegabytes += "[HKEY_CURRENT_USER\\Software\\Big]\r\n\"One line\"=\"" + std::string(2'000'000, 'x') + "\"\r\n";
    for (int i = 0; tenMegabytes.size() < 10'000'000; ++i)
        tenMegabytes += "\"Value " + std::to_string(i) + "\"=\"" + std::string(40, 'v') + "\"\r\n";
    // A long value as regedit and the program write it: hex bytes continued over many lines.
    std::string continued = StartupSection("\"Orbit Offset\"=\"6\"\r\n\r\n") + "[HKEY_CURRENT_USER\\Software\\Big]\r\n\"Blob\"=hex:";
    while (continued.size() < 3'000'000) continued += "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n  ";
    continued += "ff\r\n";
    const std::string longName(10'000, 'n');
    const std::string longKey = "Software\\" + std::string(10'000, 'k');

    struct Case {
        std::string name;
        std::string file;
        std::string loadError;  // the start-up's message
        BlockLayout layout;
        int32_t orbitHiByte;
        std::string saveError;  // storing the Orbit HiByte box "7"
    };
    const BlockLayout defaults;
    const std::string cannotSave = "Failed to set data for 'Orbit Offset'";
    const std::vector<Case> cases = {
        {"empty", "", "", defaults, 0, ""},
        {"binary", "\x7f" "ELF\x02\x01\x01" + std::string(200, '\0') + "\xff\xfe", "", defaults, 0, cannotSave},
        {"binary after its first line", junk, "", defaults, 5, ""},
        {"cut in the middle of a value",
         StartupSection("\"Start Amday Addr.\"=\"100\"\r\n\"End  Amday Addr.\"=\"101\"\r\n\"Start Orbit Addr.\"=\"4"), "",
         BlockLayout{100, 101, 471, 502, 473, 504, 36, 60}, 0, ""},
        {"cut in the middle of a key", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Pro", "", defaults, 0, ""},
        {"cut in the middle of its first line", "REGED", "", defaults, 0, cannotSave},
        {"10 MB long", tenMegabytes, "", BlockLayout{464, 495, 471, 502, 200, 504, 36, 60}, 3, ""},
        {"a hex value continued over 40,000 lines", continued, "", defaults, 6, ""},
        {"values of other types",
         StartupSection("\"Start MA Addr.\"=dword:00000010\r\n\"End MA Addr.\"=hex(7):35,00,00\r\n"
                        "\"MA Step Addr.\"=qword:0000000000000001\r\n\"Channel Addr.\"=hex(2):36,31,00\r\n"
                        "\"Orbit Offset\"=hex(1):39,00\r\n"),
         "Invalid data type for 'Start MA Addr.'", BlockLayout{464, 495, 471, 502, 473, 504, 36, 61}, 9, ""},
        {"names of 10,000 characters",
         StartupSection("\"" + longName + "\"=\"kept\"\r\n\"Orbit Offset\"=\"4\"\r\n\r\n[HKEY_CURRENT_USER\\" + longKey +
                        "]\r\n\"v\"=\"kept too\"\r\n"),
         "", defaults, 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const SettingsStore store((dir / "user.reg").string());
        WriteText(store.FilePath(), c.file);

        const StoredStartupSettings loaded = LoadStartupSettings(store);
        EXPECT_EQ(loaded.Error, c.loadError);
        EXPECT_EQ(loaded.Layout, c.layout);
        EXPECT_EQ(loaded.OrbitHiByte, c.orbitHiByte);

        const std::string before = ReadText(store.FilePath());
        EXPECT_EQ(ErrorOf([&] { SaveOrbitHiByte(store, "7"); }), c.saveError);
        const std::string after = ReadText(store.FilePath());
        if (!c.saveError.empty()) {
            EXPECT_EQ(after, c.file);  // a file that is no settings text is never overwritten
            continue;
        }
        // Every value in force stays, the one stored is there, and the next start reads it.
        auto kept = ValuesInForce(before);
        kept[{"hkey_current_user\\software\\qarn programs\\kelvarox\\startup", "orbit offset"}] =
            RegistryValue::Text("Orbit Offset", "7");
        EXPECT_TRUE(ValuesInForce(after) == kept);
        EXPECT_EQ(StoredText(store, kStartup, "Orbit Offset"), "7");
        const StoredStartupSettings next = LoadStartupSettings(store);
        EXPECT_EQ(next.Error, c.loadError);
        EXPECT_EQ(next.Layout, c.layout);
        EXPECT_EQ(next.OrbitHiByte, 7);
    }
}

TEST(BadSettingsFiles, AKeyPathOf10000CharactersIsCreatedWrittenAndReadBack) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    const std::string path = "Software\\" + std::string(10'000, 'k') + "\\Below";
    {
        SettingsKey key(store);
        ASSERT_TRUE(key.OpenSettingsKey(path));
        key.WriteSettingText(std::string(10'000, 'n'), "long");
        key.WriteSettingText("Short", "short");
    }
    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey(path));
    EXPECT_EQ(key.ReadSettingText(std::string(10'000, 'N')), "long");  // names compare without case
    EXPECT_EQ(key.ReadSettingText("Short"), "short");
    EXPECT_EQ(key.ReadSettingNumber("Missing", 5), 5);
}

namespace {

void Drop(QWidget* window, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

}  // namespace

TEST(BadInputInTheWindows, ADirectoryOfBadFilesAndASettingsValueOfAnotherType) {
    TestProgram p;
    fs::create_directories(p.settingsFile.parent_path());
    WriteText(p.settingsFile, StartupSection("\"Start MA Addr.\"=dword:00000010\r\n\"Orbit Offset\"=\"2\"\r\n") +
                                  "\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                                  "\"Default Directory\"=\"" + (p.home / "Trelm").string() + "\"\r\n");
    const fs::path& d = p.telemetry;
    const Bytes good = BuildBlock(GoodRecipe());
    WriteBytes(d / "good.dat", good);
    WriteBytes(d / "empty.dat", {});
    WriteBytes(d / "short.TLM", Bytes(good.begin(), good.end() - 1));
    SparseFile(d / "huge.dat", kFourGiB + 512, good);
    fs::create_directory(d / "folder.dat");
    ASSERT_EQ(::mkfifo((d / "pipe.dat").c_str(), 0600), 0);
    fs::create_symlink(d / "nowhere", d / "dangling.dat");
    fs::create_symlink("/dev/zero", d / "zero.dat");

    p.Start();
    p.app->Start();
    MainWindow& window = p.app->Main();
    const MainForm form(window);
    // The start-up reports the value it cannot read and goes on with its default.
    EXPECT_EQ(p.notifier.boxes, (std::vector<RecordingNotifier::Box>{{"error", "Invalid data type for 'Start MA Addr.'"}}));
    EXPECT_EQ(p.app->State().Layout(), BlockLayout{});
    EXPECT_EQ(form.orbitHiByteEdit->text(), QStringLiteral("2"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !form.blockList->IsListing() && !form.blockList->Names().empty(); }, 10000));
    // Only regular files are listed.
    EXPECT_EQ(form.blockList->Names(), (QStringList{"empty.dat", "good.dat", "huge.dat", "short.TLM"}));

    const std::vector<std::string> bad = {"empty.dat", "short.TLM", "huge.dat", "folder.dat",
                                          "pipe.dat",  "dangling.dat", "zero.dat"};
    for (const std::string& name : bad) {
        p.notifier.boxes.clear();
        Drop(&window, (d / name).string());
        EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{kLength, kFormat})) << name;
        EXPECT_FALSE(p.app->Graph().isVisible()) << name;
    }
    p.notifier.boxes.clear();
    Drop(&window, (d / "good.dat").string());
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_TRUE(p.app->Graph().isVisible());
    p.app->Graph().hide();
    for (const std::string& name : bad) {
        p.notifier.boxes.clear();
        Drop(&window, (d / name).string());
        EXPECT_EQ(p.notifier.Texts(), std::vector<std::string>{kLength}) << name;
        EXPECT_FALSE(p.app->Graph().isVisible()) << name;
        EXPECT_FALSE(form.graphButton->isEnabled());
        EXPECT_FALSE(form.tableButton->isEnabled());
        EXPECT_EQ(form.nameEdit->text(), QStringLiteral("Temp - SEU"));
    }
}

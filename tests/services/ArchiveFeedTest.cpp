// The telemetry directory followed into the archive: new blocks as the system reports them, a
// directory that goes away and comes back, and an archive that another program is writing to.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QSignalSpy>
#include <QTest>

#include "TestFiles.h"
#include "archive/Archive.h"
#include "services/ArchiveFeed.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

BlockRecipe Block(const std::string& orbit) {
    return RecipeOf("0140", orbit, "00", orbit, "FC", "04", std::vector<uint8_t>(64, 120));
}

struct FollowedDirectory {
    TempDir dir;
    std::filesystem::path telemetry = dir / "telemetry";
    std::string archive = (dir / "archive.sqlite").string();
    ArchiveFeed feed;

    FollowedDirectory() { std::filesystem::create_directories(telemetry); }
    void Start() { feed.start({archive, telemetry.string(), {}, 0, {}}); }
    bool Says(const std::string& status) {
        return QTest::qWaitFor([&] { return feed.status().toStdString() == status; }, 20000);
    }
};

}  // namespace

TEST(ArchiveFeed, FollowsTheDirectoryAsItChangesGoesAwayAndComesBack) {
    FollowedDirectory d;
    WriteBytes(d.telemetry / "a.dat", BuildBlock(Block("10")));
    d.Start();
    ASSERT_TRUE(d.Says("Archive: added 1, already stored 0, failed 0")) << d.feed.status().toStdString();

    // Written in place, and moved in.
    WriteBytes(d.telemetry / "b.dat", BuildBlock(Block("11")));
    WriteBytes(d.dir / "c.dat", BuildBlock(Block("12")));
    std::filesystem::rename(d.dir / "c.dat", d.telemetry / "c.dat");
    EXPECT_TRUE(d.Says("Archive: added 3, already stored 0, failed 0")) << d.feed.status().toStdString();

    // The directory moved away: importing has stopped, and goes on once it is back.
    QSignalSpy problems(&d.feed, &ArchiveFeed::problemChanged);
    std::filesystem::rename(d.telemetry, d.dir / "away");
    const std::string gone = "Cannot read " + d.telemetry.string() + ": No such file or directory";
    EXPECT_TRUE(d.Says(gone)) << d.feed.status().toStdString();
    EXPECT_EQ(d.feed.problem().toStdString(), gone);
    std::filesystem::rename(d.dir / "away", d.telemetry);
    EXPECT_TRUE(d.Says("Archive: added 3, already stored 0, failed 0")) << d.feed.status().toStdString();
    EXPECT_EQ(d.feed.problem(), "");
    ASSERT_EQ(problems.count(), 2);

    // Made again: its blocks are followed as before.
    std::filesystem::remove_all(d.telemetry);
    EXPECT_TRUE(d.Says(gone));
    std::filesystem::create_directories(d.telemetry);
    WriteBytes(d.telemetry / "d.dat", BuildBlock(Block("13")));
    EXPECT_TRUE(d.Says("Archive: added 4, already stored 0, failed 0")) << d.feed.status().toStdString();

    // With Follow off a new block waits until it is on again.
    d.feed.setFollowing(false);
    QTest::qWait(300);
    WriteBytes(d.telemetry / "e.dat", BuildBlock(Block("14")));
    QTest::qWait(1000);
    EXPECT_EQ(d.feed.status().toStdString(), "Archive: added 4, already stored 0, failed 0");
    d.feed.setFollowing(true);
    EXPECT_TRUE(d.Says("Archive: added 5, already stored 0, failed 0")) << d.feed.status().toStdString();
}

TEST(ArchiveFeed, SaysWhileTheArchiveIsBusyWithAnotherProgram) {
    FollowedDirectory d;
    { archive::Archive created(d.archive, archive::Archive::Access::Write); }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(d.archive.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    WriteBytes(d.telemetry / "a.dat", BuildBlock(Block("10")));
    WriteBytes(d.telemetry / "b.dat", BuildBlock(Block("11")));
    d.Start();
    EXPECT_TRUE(d.Says("The archive " + d.archive +
                       " is busy: another program is writing to it. Kelvarox waits to add 2 files."))
        << d.feed.status().toStdString();
    EXPECT_TRUE(d.feed.waiting());
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(d.Says("Archive: added 2, already stored 0, failed 0")) << d.feed.status().toStdString();
    EXPECT_FALSE(d.feed.waiting());
}

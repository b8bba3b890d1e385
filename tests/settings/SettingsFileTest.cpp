#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLockFile>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "ErrorOf.h"
#include "ScopedEnv.h"
#include "SettingsTestSupport.h"
#include "settings/SettingsKey.h"

namespace kelvarox {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* kPosition = "Software\\Qarn Programs\\Kelvarox\\Position";

std::string PositionText(const SettingsStore& store, const std::string& name) {
    SettingsKey key(store);
    EXPECT_TRUE(key.OpenSettingsKeyForReading(kPosition));
    return key.ReadSettingText(name);
}

void SetModified(const fs::path& path, timespec when) {
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(SettingsFile, AnUnchangedFileIsParsedOnceAndEveryReadSeesTheFileAsItIsNow) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    const auto file = [](char top) {
        return "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kPosition) + "]\n\"Form1 Top\"=\"" + top + "\"\n";
    };
    WriteText(store.FilePath(), file('1'));
    const timespec minuteAgo{std::time(nullptr) - 60, 123456789};
    SetModified(store.FilePath(), minuteAgo);
    const auto first = store.Snapshot();
    EXPECT_EQ(store.Snapshot(), first);
    EXPECT_EQ(PositionText(store, "Form1 Top"), "1");

    // Written over in place with the same size and its modification time put back, in a later
    // tick of the file system's clock.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        const int fd = ::open(store.FilePath().c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const std::string text = file('2');
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
    }
    SetModified(store.FilePath(), minuteAgo);
    EXPECT_EQ(PositionText(store, "Form1 Top"), "2");

    // Replaced by another file of the same size and times.
    WriteText(dir / "other.reg", file('3'));
    SetModified(dir / "other.reg", minuteAgo);
    fs::rename(dir / "other.reg", store.FilePath());
    EXPECT_EQ(PositionText(store, "Form1 Top"), "3");

    // A file modified just now may change again within the same tick: it is read again.
    WriteText(store.FilePath(), file('4'));
    const auto fresh = store.Snapshot();
    EXPECT_NE(store.Snapshot(), fresh);
}

TEST(SettingsFile, ALockAnotherProgramHoldsFailsTheWriteAfterAShortWaitAndSaysSo) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(), "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kPosition) + "]\n");
    QLockFile holder(QString::fromStdString(store.FilePath() + ".lock"));
    ASSERT_TRUE(holder.tryLock(0));

    const std::string held = "Failed to set data for 'Form1 Top': another program holds the settings file";
    SettingsKey position(store);
    ASSERT_TRUE(position.OpenSettingsKey(kPosition));
    EXPECT_EQ(ErrorOf([&] { position.WriteSettingText("Form1 Top", "5"); }), held);
    SettingsKey missing(store);  // a key that cannot be added
    EXPECT_FALSE(missing.OpenSettingsKey("Software\\Qarn Programs\\Kelvarox\\Startup"));
    EXPECT_EQ(ErrorOf([&] { missing.WriteSettingText("Form1 Top", "5"); }), held);

    holder.unlock();
    position.WriteSettingTexts({{"Form1 Top", "5"}, {"Form1 Left", "6"}});
    EXPECT_EQ(PositionText(store, "Form1 Top"), "5");
    EXPECT_EQ(PositionText(store, "Form1 Left"), "6");
}

// Runs `action` in a child process; its wait status.
int InChild(const std::function<void()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
        action();
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child ? status : -1;
}

TEST(SettingsFile, LeftoversOfKilledWritersGoAtTheNextWrite) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    WriteText(store.FilePath(), "REGEDIT4\n; " + std::string(1 << 16, 'x') + "\n");
    auto files = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename());
        return names;
    };
    // A process killed while it wrote its copy of the file: the file size limit stops it.
    const int status = InChild([&] {
        const rlimit noCore{0, 0}, small{8192, 8192};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &small);
        SettingsKey key(store);
        (void)key.OpenSettingsKey(kPosition);
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    ASSERT_GT(files().size(), 2u);  // the file, the lock and the copy
    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey(kPosition));
    EXPECT_EQ(files(), std::vector<std::string>{"user.reg"});

    // A process killed while it took over a stale lock.
    InChild([&] {
        QLockFile lock(QString::fromStdString(store.FilePath() + ".lock.rmlock"));
        ::_exit(lock.tryLock(0) ? 0 : 1);
    });
    ASSERT_EQ(files().size(), 2u);
    key.WriteSettingText("Form1 Top", "5");
    EXPECT_EQ(files(), std::vector<std::string>{"user.reg"});
}

TEST(SettingsFile, ARewriteKeepsOwnerAndModeAndAReadOnlyFileStaysAsItIs) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    const std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kPosition) + "]\n";
    const bool root = ::geteuid() == 0;
    for (const mode_t mode : {0600, 0664}) {
        WriteText(store.FilePath(), text);
        ASSERT_EQ(::chmod(store.FilePath().c_str(), mode), 0);
        if (root) {
            ASSERT_EQ(::chown(store.FilePath().c_str(), 65534, 65534), 0);  // the user's file, written by root
        }
        SettingsKey key(store);
        ASSERT_TRUE(key.OpenSettingsKey(kPosition));
        key.WriteSettingText("Form1 Top", std::to_string(mode));
        struct stat info {};
        ASSERT_EQ(::stat(store.FilePath().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(info.st_uid, 65534u);
            EXPECT_EQ(info.st_gid, 65534u);
        }
        EXPECT_EQ(PositionText(store, "Form1 Top"), std::to_string(mode));
    }

    // Root in a user's folder: what it creates is the user's.
    if (root) {
        ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
        const SettingsStore fresh((dir / "config/kelvarox/user.reg").string());
        SettingsKey key(fresh);
        ASSERT_TRUE(key.OpenSettingsKey(kPosition));
        for (const fs::path& created : {dir / "config", dir / "config/kelvarox", dir / "config/kelvarox/user.reg"}) {
            struct stat info {};
            ASSERT_EQ(::stat(created.c_str(), &info), 0);
            EXPECT_EQ(info.st_uid, 65534u) << created;
        }
    }

    WriteText(store.FilePath(), text);
    ASSERT_EQ(::chmod(store.FilePath().c_str(), 0444), 0);
    SettingsKey key(store);
    ASSERT_TRUE(key.OpenSettingsKey(kPosition));
    EXPECT_EQ(ErrorOf([&] { key.WriteSettingText("Form1 Top", "1"); }), "Failed to set data for 'Form1 Top'");
    EXPECT_EQ(ReadText(store.FilePath()), text);
    struct stat info {};
    ASSERT_EQ(::stat(store.FilePath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

TEST(SettingsFile, AFileThatCannotBeUsedIsNamedInTheWarningWithItsLine) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    EXPECT_EQ(store.Warning(), "");
    WriteText(store.FilePath(), "\r\n; exported settings\r\nREGEDIT4\r\n");
    EXPECT_EQ(store.Warning(), "The settings file '" + store.FilePath() +
                                   "' is not used: line 2 is not \"REGEDIT4\" or \"Windows Registry Editor Version "
                                   "5.00\". Kelvarox leaves it as it is and runs with its defaults.");
    const SettingsStore folder(dir.path().string());
    EXPECT_EQ(folder.Warning(), "The settings file '" + dir.path().string() +
                                    "' is not used: it is not a regular file. Kelvarox leaves it as it is and runs "
                                    "with its defaults.");
}

TEST(SettingsFile, WithoutAHomeNothingIsWrittenAndTheUserIsTold) {
    TempDir dir;
    ScopedEnv home("HOME", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    const SettingsStore homeless = SettingsStore::UserStore();
    EXPECT_EQ(homeless.FilePath(), "");
    EXPECT_EQ(homeless.Warning(),
              "There is no home folder for the settings (HOME is not set). Kelvarox runs with its defaults and saves "
              "nothing.");
    SettingsKey key(homeless);
    EXPECT_FALSE(key.OpenSettingsKey(kPosition));
    EXPECT_EQ(ErrorOf([&] { key.WriteSettingText("Form1 Top", "1"); }), "Failed to set data for 'Form1 Top'");

    ScopedEnv someHome("HOME", dir.path().c_str());
    EXPECT_EQ(SettingsStore::UserStore().FilePath(), (dir / ".config/kelvarox/user.reg").string());
    EXPECT_EQ(SettingsStore::UserStore().Warning(), "");
    ScopedEnv absolute("XDG_CONFIG_HOME", (dir / "config").c_str());
    EXPECT_EQ(SettingsStore::UserStore().FilePath(), (dir / "config/kelvarox/user.reg").string());
}

}  // namespace
}  // namespace kelvarox

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "SettingsTestSupport.h"

namespace kelvarox {
namespace {

using testing::TempDir;

// A settings_writer process whose reports come through a pipe.
class Writer {
public:
    Writer(const SettingsStore& store, const std::string& prefix, int count) {
        const std::string command = std::string("exec '") + KELVAROX_SETTINGS_WRITER + "' '" + store.FilePath() +
                                    "' '" + prefix + "' " + std::to_string(count);
        pipe_ = ::popen(command.c_str(), "r");
        char line[32];
        if (!pipe_ || !std::fgets(line, sizeof line, pipe_)) throw std::runtime_error("cannot start settings_writer");
        pid_ = static_cast<pid_t>(std::atol(line));
    }
    ~Writer() {
        if (pipe_) Kill();
    }
    void WaitForWrites(int writes) {
        while (completed < writes && ReadReport()) {}
    }
    void Kill() {
        ::kill(pid_, SIGKILL);
        Finish();
    }
    // Collects the remaining reports; the exit status.
    int Finish() {
        while (ReadReport()) {}
        const int status = ::pclose(pipe_);
        pipe_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int completed = 0;  // reported writes; a report cut by the kill does not count

private:
    bool ReadReport() {
        char line[32];
        if (!std::fgets(line, sizeof line, pipe_)) return false;
        completed += std::string(line).ends_with('\n');
        return true;
    }
    FILE* pipe_ = nullptr;
    pid_t pid_ = 0;
};

const RegistryValue* Written(const RegistryDocument& doc, const std::string& name) {
    return FindValue(doc, "HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Writers", name);
}

// Every completed write is there with both its values, and no write is there by half.
void ExpectWrites(const RegistryDocument& doc, const std::string& prefix, int count) {
    for (int i = 0;; ++i) {
        const std::string name = prefix + " " + std::to_string(i);
        const RegistryValue* value = Written(doc, name);
        const RegistryValue* too = Written(doc, name + " too");
        if (i >= count && !value && !too) break;
        ASSERT_TRUE(value && too) << name << (i < count ? " is lost" : " is there by half");
        EXPECT_EQ(TextOfValue(*value), std::to_string(i));
        EXPECT_EQ(TextOfValue(*too), std::to_string(i));
    }
}

TEST(ConcurrentWriters, TwoCopiesWritingAtOnceLoseNothing) {
    TempDir dir;
    const SettingsStore store((dir / "kelvarox/user.reg").string());
    Writer first(store, "first", 250), second(store, "second", 250);
    EXPECT_EQ(first.Finish(), 0);
    EXPECT_EQ(second.Finish(), 0);
    const RegistryDocument doc = testing::ParsedFile(store);
    ExpectWrites(doc, "first", 250);
    ExpectWrites(doc, "second", 250);
}

TEST(ConcurrentWriters, KilledWriterLeavesEveryCompletedWrite) {
    TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    // A file of a few megabytes keeps each write busy long enough for kills to land inside it.
    testing::WriteText(store.FilePath(), "REGEDIT4\n; " + std::string(4 << 20, 'x') + "\n");
    std::mt19937 random(20240613);
    std::vector<int> completed;
    for (int round = 0; round < 30; ++round) {
        Writer writer(store, "round " + std::to_string(round), 0);
        writer.WaitForWrites(std::uniform_int_distribution<int>(1, 4)(random));
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
        writer.Kill();
        completed.push_back(writer.completed);
        ASSERT_GT(writer.completed, 0);

        const auto contents = store.Read();
        ASSERT_EQ(contents.state, SettingsStore::FileState::Parsed) << "after round " << round;
        for (int r = 0; r <= round; ++r)
            ExpectWrites(contents.document, "round " + std::to_string(r), completed[static_cast<size_t>(r)]);
    }
    // The next write clears away what the killed writers left: locks and copies never renamed.
    Writer last(store, "last", 1);
    EXPECT_EQ(last.Finish(), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"user.reg"});
}

}  // namespace
}  // namespace kelvarox

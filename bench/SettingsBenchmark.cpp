// The settings file of 10 MB that a long value makes: hex bytes continued over 140,000 lines,
// as regedit and the program's own writer lay them out. Parsing it, reading a value from it
// while it stays unchanged, and the nine reads of the command line's start.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "TestFiles.h"
#include "settings/RegistryText.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsNames.h"
#include "settings/StartupSettings.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

std::string TenMegabyteFile() {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(kStartupKey) +
                       "]\r\n\"Orbit Offset\"=\"3\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Big]\r\n\"Blob\"=hex:";
    while (text.size() < 10'000'000)
        text += "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n  ";
    return text + "ff\r\n";
}

// The file on disk, last modified a minute ago as a file the program did not just write.
class TenMegabyteStore {
public:
    TenMegabyteStore() : store((dir / "user.reg").string()) {
        WriteText(store.FilePath(), TenMegabyteFile());
        const timespec minuteAgo{std::time(nullptr) - 60, 0};
        const timespec times[2] = {minuteAgo, minuteAgo};
        ::utimensat(AT_FDCWD, store.FilePath().c_str(), times, 0);
    }
    TempDir dir;
    SettingsStore store;
};

void BM_ParseContinuedHex10MB(benchmark::State& st) {
    const std::string text = TenMegabyteFile();
    for (auto _ : st) {
        auto doc = ParseRegistryText(text);
        benchmark::DoNotOptimize(doc);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseContinuedHex10MB)->Unit(benchmark::kMillisecond);

void BM_ReadValueOfUnchangedFile10MB(benchmark::State& st) {
    TenMegabyteStore file;
    SettingsKey key(file.store);
    if (!key.OpenSettingsKeyForReading(std::string(kStartupKey))) st.SkipWithError("no Startup key");
    for (auto _ : st) benchmark::DoNotOptimize(key.ReadSettingText("Orbit Offset"));
}
BENCHMARK(BM_ReadValueOfUnchangedFile10MB)->Unit(benchmark::kMicrosecond);

// What kelvarox-cli does at its start: the layout and Orbit Offset, each read from the file.
void BM_CommandLineSettings10MB(benchmark::State& st) {
    TenMegabyteStore file;
    for (auto _ : st) {
        const SettingsStore fresh(file.store.FilePath(), SettingsStore::Access::ReadOnly);
        benchmark::DoNotOptimize(ReadStoredStartupSettings(fresh));
    }
}
BENCHMARK(BM_CommandLineSettings10MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// kelvarox-cli's archive and series commands against both engines, and the archive under
// faults: killed imports, two imports at once, a newer schema, a database out of reach.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <libpq-fe.h>
#include <pty.h>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "ArchiveBackends.h"
#include "CliRunner.h"
#include "ExcursionScan.h"
#include "PostgresCluster.h"
#include "archive/Archive.h"
#include "archive/Database.h"
#include "archive/PostgresAddress.h"
#include "archive/Schema.h"
#include "archive/Sha256.h"
#include "core/Errors.h"

using namespace kelvarox;
using namespace kelvarox::archive;
using namespace kelvarox::testing;

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t stop = text.find(end, start);
        if (stop == std::string::npos) stop = text.size();
        lines.push_back(text.substr(start, stop - start));
        start = stop + end.size();
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) { return Split(line, ","); }

// Starts kelvarox-cli without waiting for it, with `env` set; its output goes nowhere, or into
// the files `output`.out and `output`.err.
pid_t StartCli(const std::vector<std::string>& args, const TempDir& home,
               const std::map<std::string, std::string>& env = {}, const std::string& output = "") {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(output.empty() ? devnull : ::open((output + ".out").c_str(), O_WRONLY | O_CREAT, 0600), 1);
        ::dup2(output.empty() ? devnull : ::open((output + ".err").c_str(), O_WRONLY | O_CREAT, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(KELVAROX_CLI)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(KELVAROX_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

// Runs kelvarox-cli as a user that owns none of the test's files: as root, nobody; otherwise the
// user itself, whom the files' permissions bind. Its settings folder is in `dir` (which must be
// open to all), and not there.
ProcessResult RunCliAsAnotherUser(const std::vector<std::string>& args, const TempDir& dir) {
    const std::map<std::string, std::string> env = {{"XDG_CONFIG_HOME", (dir / "none").string()},
                                                    {"HOME", (dir / "none").string()}};
    if (::geteuid() != 0) return RunProcess(KELVAROX_CLI, args, env);
    std::vector<std::string> asNobody = {"-u", "nobody", "--", KELVAROX_CLI};
    asNobody.insert(asNobody.end(), args.begin(), args.end());
    return RunProcess("/usr/sbin/runuser", asNobody, env);
}

class ArchiveCliTest : public ::testing::TestWithParam<Backend> {
protected:
    CliRunner cli;
    TempDir dir;
    std::string location = FreshArchive(GetParam(), dir);

    ProcessResult Run(std::vector<std::string> args) {
        args.insert(args.begin() + (args[0] == "archive" ? 2 : 1), {"--database", location});
        return cli(args);
    }

    // Blocks of a satellite in `folder`, named in time order; the true orbit of each file.
    std::map<std::string, int64_t> WriteDay(const std::string& folder, int count, int tag0) {
        std::mt19937 random(static_cast<unsigned>(tag0) + 1);
        const Satellite satellite{14.1, 5 * 256 + 7, 8800};
        const auto passes = satellite.Blocks(0, count / 10, 10, random);
        std::filesystem::create_directories(dir / folder);
        std::map<std::string, int64_t> truth;
        for (size_t i = 0; i < passes.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "b%06zu.dat", i);
            WriteBytes(dir / folder / name,
                       PassBlock(passes[i], i % 2 ? "0140" : "0171", 40, tag0 + static_cast<int>(i)));
            truth[(dir / folder / name).string()] = passes[i].orbit;
        }
        return truth;
    }

    // Runs one statement on the archive's database, as its administrator would; the first value
    // of its result.
    std::string Sql(const std::string& statement) {
        std::string value;
        if (GetParam() == Backend::Sqlite) {
            sqlite3* db = nullptr;
            EXPECT_EQ(sqlite3_open(location.c_str(), &db), SQLITE_OK);
            auto first = [](void* to, int, char** values, char**) {
                if (values[0] && static_cast<std::string*>(to)->empty()) *static_cast<std::string*>(to) = values[0];
                return 0;
            };
            EXPECT_EQ(sqlite3_exec(db, statement.c_str(), first, &value, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
            sqlite3_close(db);
        } else {
            PGconn* c = PQconnectdb(location.c_str());
            PGresult* r = PQexec(c, statement.c_str());
            EXPECT_TRUE(PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK)
                << PQerrorMessage(c);
            if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0) value = PQgetvalue(r, 0, 0);
            PQclear(r);
            PQfinish(c);
        }
        return value;
    }

    // Makes the archive one of schema version 1: file names as texts, no outliers, the blocks
    // indexed by their date.
    void MakeVersionOne() {
        Sql(GetParam() == Backend::Sqlite
                ? "UPDATE kelvarox_blocks SET file = CAST(file AS TEXT)"
                : "ALTER TABLE kelvarox_blocks ALTER COLUMN file TYPE TEXT USING convert_from(file, 'UTF8')");
        for (const char* statement :
             {"DROP INDEX kelvarox_blocks_by_generation", "ALTER TABLE kelvarox_blocks DROP COLUMN generation",
              "ALTER TABLE kelvarox_blocks DROP COLUMN orbit_outlier", "DROP INDEX kelvarox_blocks_by_pass",
              "CREATE INDEX kelvarox_blocks_by_date ON kelvarox_blocks (start_amday)",
              "DROP TABLE kelvarox_orbit_statistics", "DELETE FROM kelvarox_meta WHERE key = 'statistics_satellite'",
              "UPDATE kelvarox_meta SET value = '1' WHERE key = 'schema_version'"})
            Sql(statement);
    }

    int64_t StoredBlocks() {
        Archive archive(location, Archive::Access::Read);
        int64_t count = 0;
        for (const auto& c : archive.Channels()) count += c.blocks;
        return count;
    }

    // Every stored block is whole: its bytes give its SHA-256 and its header values, and it
    // sits at its true orbit. Returns the number of stored blocks.
    size_t ExpectWholeAndPlaced(const std::map<std::string, int64_t>& truth) {
        Archive archive(location, Archive::Access::Read);
        size_t count = 0;
        archive.ForEachBlock(std::nullopt, {}, true, [&](const ArchivedBlock& b, std::span<const uint8_t> bytes) {
            ++count;
            EXPECT_EQ(Sha256Hex(bytes), b.sha256);
            const auto again = ReadBlockForArchive(b.file, {});
            ASSERT_TRUE(again.block);
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), again.block->bytes.begin(), again.block->bytes.end()));
            EXPECT_EQ(b.facts, again.block->facts) << b.file;
            ASSERT_TRUE(truth.count(b.file)) << b.file;
            EXPECT_EQ(b.startOrbit, truth.at(b.file)) << b.file;
        });
        return count;
    }
};

}  // namespace

TEST_P(ArchiveCliTest, AddListSeriesAndStatsOfTheSampleBlocks) {
    const std::string samples = SamplePath("");
    auto r = Run({"archive", "add", samples});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "added 10, already stored 0, failed 2\n");
    EXPECT_EQ(
        Split(r.err, "\n"),
        (std::vector<std::string>{
            SamplePath("bad-signature.dat") + ": Improper format for WOD data block!",
            SamplePath("short-100-bytes.dat") + ": File is improper length, must be 512 bytes!!",
            SamplePath("battery-current-four-orbits.dat") +
                ": orbit 272 is not sure (the block before it is of the same day); kelvarox-cli archive set-orbit fixes it",
            SamplePath("BATTERY.DAT") +
                ": orbit 316 is not sure (the block before it is of the same day); kelvarox-cli archive set-orbit fixes it"}));

    // The same bytes under another name are the same block.
    std::filesystem::copy_file(SamplePath("SPIN.TLM"), dir / "copy.dat");
    r = Run({"archive", "add", (dir / "copy.dat").string(), samples + "/one-sample.dat"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "added 0, already stored 2, failed 0\n");
    EXPECT_EQ(r.err, "");

    r = Run({"archive", "list", "--channel", "#140"});
    EXPECT_EQ(r.out, "     316/000 -     316/252  2002  Jan  01 [Tue] - 2002  Jan  01 [Tue]  #140    64  " +
                         SamplePath("temperature-one-orbit.dat") + "\n" +
                         "     316/064 -     316/064  2002  Jan  01 [Tue] - 2002  Jan  01 [Tue]  #140     1  " +
                         SamplePath("one-sample.dat") + "\n");

    // The time line holds what csv gives for the channel's two blocks, with the same orbits.
    const auto series = Split(Run({"series", "0x140"}).out, "\r\n");
    const auto csv = Split(
        cli({"csv", "--orbit-hibyte", "1", SamplePath("temperature-one-orbit.dat"), SamplePath("one-sample.dat")}).out,
        "\r\n");
    ASSERT_EQ(series.size(), 66u);
    ASSERT_EQ(csv.size(), series.size());
    EXPECT_EQ(series[0], "orbit,ma,value,raw,file");
    float lowest = INFINITY, highest = -INFINITY;
    double sum = 0;
    for (size_t i = 1; i < series.size(); ++i) {
        const auto s = Fields(series[i]),
                   c = Fields(csv[i]);  // c: file,channel,name,unit,sample,orbit,ma,raw,value,...
        EXPECT_EQ(s, (std::vector<std::string>{c[5], c[6], c[8], c[7], c[0]})) << i;
        float value = 0;
        std::from_chars(s[2].data(), s[2].data() + s[2].size(), value);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        sum += value;
    }
    const auto bounded = Split(Run({"series", "#140", "--from", "316", "--to", "316"}).out, "\r\n");
    EXPECT_EQ(bounded, series);
    EXPECT_EQ(Run({"series", "#140", "--from", "317"}).out, "orbit,ma,value,raw,file\r\n");

    const auto stats = Split(Run({"archive", "stats", "#140"}).out, "\n");
    ASSERT_EQ(stats.size(), 10u);
    EXPECT_EQ(stats[0], "Channel:       #140");
    EXPECT_EQ(stats[1], "Name:          Temp - SEU");
    EXPECT_EQ(stats[3], "Blocks:        2");
    EXPECT_EQ(stats[4], "Samples:       65");
    EXPECT_EQ(stats[5], "First orbit:   316  2002  Jan  01 [Tue]");
    float statLow = 0, statHigh = 0, statMean = 0;
    std::from_chars(stats[7].data() + 15, stats[7].data() + stats[7].size(), statLow);
    std::from_chars(stats[8].data() + 15, stats[8].data() + stats[8].size(), statHigh);
    std::from_chars(stats[9].data() + 15, stats[9].data() + stats[9].size(), statMean);
    EXPECT_EQ(statLow, lowest);
    EXPECT_EQ(statHigh, highest);
    EXPECT_NEAR(statMean, sum / 65, 1e-4);
}

TEST_P(ArchiveCliTest, SetOrbitMovesABlockAndTheOnesAfterIt) {
    Run({"archive", "add", SamplePath("")});
    const std::string battery = SamplePath("battery-current-four-orbits.dat");
    auto r = Run({"archive", "set-orbit", battery, "529"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: Orbit 529 does not end in the block's orbit byte 16 (orbit mod 256 must be 16)\n");
    r = Run({"archive", "set-orbit", "0123abcd", "528"});
    EXPECT_EQ(r.err, "kelvarox-cli: No block of the archive matches 0123abcd\n");

    const auto before = Split(Run({"archive", "list"}).out, "\n");
    std::ifstream in(battery, std::ios::binary);
    std::vector<uint8_t> bytes(512);
    in.read(reinterpret_cast<char*>(bytes.data()), 512);
    r = Run({"archive", "set-orbit", Sha256Hex(bytes).substr(0, 10), "528"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto after = Split(Run({"archive", "list"}).out, "\n");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0], before[0]);  // orbit-wrap.dat, before it, stays at 254
    EXPECT_EQ(after[1].substr(0, 26), "=    528/000 -     532/000");
    EXPECT_EQ(after[2].substr(0, 26), "     544/000 -     545/127");  // the solar array block follows
    EXPECT_EQ(after[3].substr(0, 26), "~    572/000 -     574/000");
}

TEST_P(ArchiveCliTest, ANewerSchemaIsRefusedAndLeftAsItIs) {
    Run({"archive", "add", SamplePath("SPIN.TLM")});
    const char* bump = "UPDATE kelvarox_meta SET value = '99' WHERE key = 'schema_version'";
    std::string before;
    if (GetParam() == Backend::Sqlite) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(location.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, bump, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode = DELETE", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        before = ReadText(location);
    } else {
        PGconn* c = PQconnectdb(location.c_str());
        PQclear(PQexec(c, bump));
        PQfinish(c);
    }
    const std::string message = "kelvarox-cli: The archive " + location +
                                " has schema version 99, newer than this Kelvarox knows (" +
                                std::to_string(kSchemaVersion) + "); it was left as it is\n";
    for (const auto& command :
         {std::vector<std::string>{"archive", "add", SamplePath("")}, std::vector<std::string>{"archive", "list"},
          std::vector<std::string>{"series", "#100"}}) {
        const auto r = Run(command);
        EXPECT_EQ(r.status, 1) << command[1];
        EXPECT_EQ(r.err, message) << command[1];
        EXPECT_EQ(r.out, "") << command[1];
    }
    if (GetParam() == Backend::Sqlite) {
        EXPECT_EQ(ReadText(location), before);
    } else {
        PGconn* c = PQconnectdb(location.c_str());
        PGresult* r = PQexec(
            c,
            "SELECT (SELECT count(*) FROM kelvarox_blocks), (SELECT value FROM kelvarox_meta WHERE key = 'schema_version')");
        EXPECT_EQ(std::string(PQgetvalue(r, 0, 0)) + "," + PQgetvalue(r, 0, 1), "1,99");
        PQclear(r);
        PQfinish(c);
    }
}

// A name that is no UTF-8 is kept byte for byte by both engines; a block the database refuses
// (a trigger of the site) is reported and costs no other block, now or when run again.
TEST_P(ArchiveCliTest, ANameOfNoUtf8AndARefusedBlockCostNoOtherBlock) {
    std::mt19937 random(3);
    const auto passes = Satellite{}.Blocks(0, 1, 4, random);
    const std::string names[] = {"a.dat", "\xFF\xFE-latin1.dat", "refused.dat", "z\x1B[2J.dat"};
    std::filesystem::create_directories(dir / "names");
    std::vector<uint8_t> refused;
    for (size_t i = 0; i < 4; ++i) {
        const auto bytes = PassBlock(passes[i], "0140", 8, static_cast<int>(i));
        WriteBytes(dir / "names" / names[i], bytes);
        if (i == 2) refused = bytes;
    }
    { Archive made(location, Archive::Access::Write); }
    const std::string sha = Sha256Hex(refused);
    if (GetParam() == Backend::Sqlite) {
        Sql("CREATE TRIGGER site_rule BEFORE INSERT ON kelvarox_blocks WHEN NEW.sha256 = '" + sha +
            "' BEGIN SELECT RAISE(ABORT, 'refused by the site'); END");
    } else {
        Sql("CREATE FUNCTION site_rule() RETURNS trigger AS $$ BEGIN IF NEW.sha256 = '" + sha +
            "' THEN RAISE EXCEPTION 'refused by the site'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
        Sql("CREATE TRIGGER site_rule BEFORE INSERT ON kelvarox_blocks FOR EACH ROW EXECUTE FUNCTION site_rule()");
    }
    const std::string folder = (dir / "names").string();
    for (const char* expected : {"added 3, already stored 0, failed 1\n", "added 0, already stored 3, failed 1\n"}) {
        const auto r = Run({"archive", "add", folder});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.err, folder + "/refused.dat: the archive refused the block: refused by the site\n");
    }
    std::set<std::string> files;
    for (const auto& line : Split(Run({"series", "#140"}).out, "\r\n")) files.insert(line.substr(line.rfind(',') + 1));
    EXPECT_EQ(files, (std::set<std::string>{"file", folder + "/" + names[0], folder + "/" + names[1],
                                            folder + "/" + names[3]}));
    const auto list = Run({"archive", "list"}).out;
    EXPECT_NE(list.find(folder + "/\\xFF\\xFE-latin1.dat\n"), std::string::npos) << list;
    EXPECT_NE(list.find(folder + "/z\\x1B[2J.dat\n"), std::string::npos) << list;
}

// An archive of schema version 1, whose file names are texts, is read as it is (on a read-only
// disk no writer can bring it up to date) and brought up to date by the next writer, every name
// as it was.
TEST_P(ArchiveCliTest, AnArchiveOfVersionOneIsReadAndBroughtUpToDate) {
    Run({"archive", "add", SamplePath("SPIN.TLM")});
    MakeVersionOne();
    const auto before = Run({"archive", "list"});
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_NE(before.out.find(SamplePath("SPIN.TLM") + "\n"), std::string::npos) << before.out;

    // A writer finds the block by its name, stored as a text.
    const auto r =
        Run({"archive", "set-orbit", SamplePath("SPIN.TLM"), std::to_string(std::stoll(before.out.substr(1, 7)))});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Run({"archive", "list"}).out, "=" + before.out.substr(1));
    EXPECT_EQ(Sql("SELECT value FROM kelvarox_meta WHERE key = 'schema_version'"), std::to_string(kSchemaVersion));
    EXPECT_EQ(Run({"archive", "check"}).out,
              "checked 1, damaged 0\norbit statistics checked 1, differing 0, stale 0\n");
    if (GetParam() == Backend::Postgres) {
        EXPECT_EQ(Sql("SELECT data_type FROM information_schema.columns WHERE table_name = 'kelvarox_blocks' AND "
                      "column_name = 'file'"),
                  "bytea");
    }
}

// archive check reads every stored block and names those whose bytes no longer give their SHA-256.
TEST_P(ArchiveCliTest, CheckNamesTheDamagedBlocks) {
    Run({"archive", "add", SamplePath("")});
    auto r = Run({"archive", "check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "checked 10, damaged 0\norbit statistics checked 21, differing 0, stale 0\n");
    // A row of the orbit statistics changed behind the archive's back.
    Sql("UPDATE kelvarox_orbit_statistics SET samples = samples + 1 WHERE channel = 256 AND orbit = 316");
    r = Run({"archive", "check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: the orbit statistics of channel #100 in orbit 316 differ from its stored blocks\n");
    Sql("UPDATE kelvarox_orbit_statistics SET samples = samples - 1 WHERE channel = 256 AND orbit = 316");
    std::ifstream in(SamplePath("SPIN.TLM"), std::ios::binary);
    std::vector<uint8_t> bytes(512);
    in.read(reinterpret_cast<char*>(bytes.data()), 512);
    const std::string sha = Sha256Hex(bytes);
    // Another block's bytes in its place.
    Sql("UPDATE kelvarox_blocks SET bytes = (SELECT bytes FROM kelvarox_blocks WHERE sha256 <> '" + sha +
        "' ORDER BY id LIMIT 1) WHERE sha256 = '" + sha + "'");
    r = Run({"archive", "check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "checked 10, damaged 1\norbit statistics checked 21, differing 1, stale 0\n");
    EXPECT_EQ(r.err, SamplePath("SPIN.TLM") + ": the stored bytes do not match their SHA-256 " + sha +
                         "; the block is damaged\nkelvarox-cli: the orbit statistics of channel #100 in orbit 316 "
                         "differ from its stored blocks\n");
}

// Imports killed in the middle of a batch, its blocks written but not committed: what they
// committed is whole and placed, a reader is not held up meanwhile, and the import run again
// stores the rest. Each import stops itself before its second commit of blocks (a hook only
// tests set), so the kill lands there however fast the machine is.
TEST_P(ArchiveCliTest, KilledImportsLeaveTheArchiveWhole) {
    const auto truth = WriteDay("blocks", 3000, 0);
    int64_t killedAt = 0;
    for (int round = 0; round < 2; ++round) {
        const pid_t pid =
            StartCli({"archive", "add", "--orbit-hibyte", "5", "--database", location, (dir / "blocks").string()},
                     cli.config, {{"KELVAROX_TEST_STOP_BEFORE_COMMIT", "2"}});
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, WUNTRACED), pid);
        ASSERT_TRUE(WIFSTOPPED(status)) << "the import ended before its second commit of blocks";
        const auto whileStopped = static_cast<int64_t>(ExpectWholeAndPlaced(truth));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(static_cast<int64_t>(ExpectWholeAndPlaced(truth)), whileStopped);
        EXPECT_EQ(Run({"archive", "check"}).status, 0);  // the statistics as the blocks stored give them
        EXPECT_GT(whileStopped, killedAt);               // its first commit stored blocks
        EXPECT_LT(whileStopped, 3000);
        killedAt = whileStopped;
    }
    const auto r = Run({"archive", "add", "--orbit-hibyte", "5", (dir / "blocks").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "added " + std::to_string(3000 - killedAt) + ", already stored " + std::to_string(killedAt) +
                         ", failed 0\n");
    EXPECT_EQ(ExpectWholeAndPlaced(truth), 3000u);
}

// A server that goes away in the middle of an import: the import says what it committed, then
// why it stopped. (The import stops itself before its second commit of blocks, and its
// connection is ended meanwhile.)
TEST_P(ArchiveCliTest, AnImportCutShortSaysWhatItKept) {
    if (GetParam() == Backend::Sqlite) GTEST_SKIP() << "an SQLite file has no server to lose";
    WriteDay("blocks", 2000, 0);
    const std::string output = (dir / "import").string();
    const pid_t pid = StartCli({"archive", "add", "--database", location, (dir / "blocks").string()}, cli.config,
                               {{"KELVAROX_TEST_STOP_BEFORE_COMMIT", "2"}}, output);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, WUNTRACED), pid);
    ASSERT_TRUE(WIFSTOPPED(status));
    Sql("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = 'kelvarox'");
    ::kill(pid, SIGCONT);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const int64_t kept = StoredBlocks();
    EXPECT_GT(kept, 0);
    EXPECT_EQ(ReadText(output + ".out"), "added " + std::to_string(kept) + ", already stored 0, failed 0\n");
    const std::string err = ReadText(output + ".err");
    EXPECT_EQ(err.rfind("kelvarox-cli: The archive " + location + " failed: ", 0), 0u) << err;
    EXPECT_EQ(Split(err, "\n").size(), 1u) << err;
}

// Two imports of overlapping directories at the same time: every block once, none lost.
TEST_P(ArchiveCliTest, TwoImportsAtOnceStoreEachBlockOnce) {
    auto truth = WriteDay("one", 800, 0);
    const auto shared = WriteDay("shared", 800, 10000);
    const auto two = WriteDay("two", 800, 20000);
    // The same bytes as "one" under other names: stored once whoever comes first.
    std::filesystem::copy(dir / "one", dir / "copies");
    truth.insert(shared.begin(), shared.end());
    truth.insert(two.begin(), two.end());

    std::vector<ProcessResult> runs(2);
    std::thread first([&] {
        runs[0] = Run({"archive", "add", "--orbit-hibyte", "5", (dir / "one").string(), (dir / "shared").string()});
    });
    std::thread second([&] {
        runs[1] = Run({"archive", "add", "--orbit-hibyte", "5", (dir / "shared").string(), (dir / "copies").string(),
                       (dir / "two").string()});
    });
    first.join();
    second.join();
    int64_t added = 0, already = 0;
    for (const auto& run : runs) {
        int64_t a = 0, s = 0, f = 0;
        ASSERT_EQ(std::sscanf(run.out.c_str(), "added %ld, already stored %ld, failed %ld", &a, &s, &f), 3)
            << run.out << run.err;
        added += a;
        already += s;
    }
    EXPECT_EQ(added, 2400);
    EXPECT_EQ(already, 1600);
    // The three folders' blocks share their dates, so only the count tells here.
    Archive archive(location, Archive::Access::Read);
    std::map<std::string, int> shas;
    archive.ForEachBlock(std::nullopt, {}, false,
                         [&](const ArchivedBlock& b, std::span<const uint8_t>) { ++shas[b.sha256]; });
    EXPECT_EQ(shas.size(), 2400u);
}

// A block whose date or orbit byte disagrees with the blocks around it is placed on its own,
// not sure, and named; every other block keeps its true orbit, for sure. Many of them (a second
// satellite mixed in) are counted in one line.
TEST_P(ArchiveCliTest, OutliersArePlacedOnTheirOwnAndNamed) {
    const Satellite satellite{14.3, 40 * 256 + 17, 8000}, other{14.3, 40 * 256 + 17 + 128, 8000};
    std::vector<TruePass> passes;
    for (int day = 0; day < 40; ++day)
        for (const double time : {0.1, 0.35, 0.6, 0.85}) passes.push_back(satellite.At(day + time));
    TruePass dayZero = satellite.At(13.6);
    dayZero.amDay = 0;
    TruePass ahead = satellite.At(20.85);  // its orbit byte 12 orbits on: past the next day's first two
    ahead.orbit += 12;
    std::vector<TruePass> mixed;
    for (int day = 0; day < 30; ++day) mixed.push_back(other.At(day + 0.5));
    const struct {
        const char* name;
        std::vector<TruePass> odd;
        std::string summary;
    } cases[] = {
        {"amday-0", {dayZero}, ""},
        {"ahead", {ahead}, ""},
        {"foreign", {other.At(25.5)}, ""},
        {"mixed", mixed,
         "kelvarox-cli: 30 blocks disagree in date and orbit byte with the blocks around them and were "
         "placed on their own, not sure: an archive holds the blocks of one satellite\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir caseDir;
        const std::string archive = FreshArchive(GetParam(), caseDir);
        std::map<std::string, int64_t> truth;
        for (size_t i = 0; i < passes.size() + c.odd.size(); ++i) {
            const bool odd = i >= passes.size();
            const auto path = caseDir / ((odd ? "odd-" : "b") + std::to_string(i) + ".dat");
            WriteBytes(path, PassBlock(odd ? c.odd[i - passes.size()] : passes[i], "0140", 20, static_cast<int>(i)));
            if (!odd) truth[path.string()] = passes[i].orbit;
        }
        const auto r = cli({"archive", "add", "--orbit-hibyte", "40", "--database", archive, caseDir.path().string()});
        EXPECT_EQ(r.out, "added " + std::to_string(truth.size() + c.odd.size()) + ", already stored 0, failed 0\n");

        std::string named;
        Archive stored(archive, Archive::Access::Read);
        stored.ForEachBlock(std::nullopt, {}, false, [&](const ArchivedBlock& b, std::span<const uint8_t>) {
            if (truth.count(b.file)) {
                EXPECT_EQ(b.startOrbit, truth[b.file]) << b.file;
                EXPECT_TRUE(b.orbitSure) << b.file;
                return;
            }
            EXPECT_FALSE(b.orbitSure) << b.file;
            named +=
                b.file + ": orbit " + std::to_string(b.startOrbit) +
                " is not sure (its date and orbit byte disagree with the blocks around it, so it was placed on its "
                "own); kelvarox-cli archive set-orbit fixes it\n";
        });
        EXPECT_EQ(r.err, c.summary.empty() ? named : c.summary);
    }
}

// An archive of the schema before outliers: readers take it as it is, and the first writer
// brings it up to date and places its blocks again.
TEST_P(ArchiveCliTest, AnOlderSchemaIsReadAndBroughtUpToDate) {
    Run({"archive", "add", SamplePath("")});
    const auto placed = Run({"archive", "list"}).out;
    MakeVersionOne();
    Sql("UPDATE kelvarox_blocks SET start_orbit = start_orbit + 256, end_orbit = end_orbit + 256, "
        "last_orbit = last_orbit + 256");
    auto r = Run({"archive", "list", "--channel", "#141"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, 26), "     510/128 -     513/128");
    EXPECT_EQ(Split(Run({"series", "#141"}).out, "\r\n")[1].substr(0, 4), "510,");

    r = Run({"archive", "add", SamplePath("SPIN.TLM")});
    EXPECT_EQ(r.out, "added 0, already stored 1, failed 0\n");
    EXPECT_EQ(Run({"archive", "list"}).out, placed);
    r = Run({"archive", "add", SamplePath("SPIN.TLM")});  // the version was stored with it
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sql("SELECT value FROM kelvarox_meta WHERE key = 'schema_version'"), std::to_string(kSchemaVersion));
}

INSTANTIATE_TEST_SUITE_P(Backends, ArchiveCliTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// A database that cannot be reached, a login that is refused, a file that is no archive: one
// line, exit status 1, nothing written.
TEST(ArchiveCli, DatabasesOutOfReach) {
    CliRunner cli;
    TempDir dir;
    auto& cluster = PostgresCluster::Get();
    const std::string refused = cluster.Address("postgres", "nobody");
    auto r = cli({"archive", "add", "--database", refused, SamplePath("")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Split(r.err, "\n").size(), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("kelvarox-cli: Cannot connect to the archive " + refused + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("role \"nobody\" does not exist"), std::string::npos) << r.err;

    const std::string nowhere = "postgresql://someone:secret@/archive?host=" + (dir / "no-server").string();
    r = cli({"archive", "list", "--database", nowhere});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("kelvarox-cli: Cannot connect to the archive postgresql://someone@/archive?host=", 0), 0u)
        << r.err;
    EXPECT_EQ(r.err.find("secret"), std::string::npos);
    // Passwords in every spelling, in addresses libpq cannot read (it repeats them in its own
    // texts), and the scheme in any case: never a password, never a folder named after it.
    const std::string host = "host=" + (dir / "no-server").string();
    for (const std::string& address :
         {"postgresql://kx:se?cret@/archive?" + host, "postgresql://kx:se%zzcret@/archive?" + host,
          std::string("postgresql://kx:secret@[::1/archive"), "postgresql:///archive?" + host + "&pass%77ord=secret",
          "postgresql:///archive?" + host + "&password=se%zzcret", "Postgresql://kx:se cret@/archive?" + host,
          "POSTGRES://kx:secret@/archive?" + host}) {
        r = cli({"archive", "add", "--database", address, SamplePath("SPIN.TLM")});
        EXPECT_EQ(r.status, 1) << address;
        EXPECT_EQ(r.err.rfind("kelvarox-cli: Cannot connect to the archive ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find("cret"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists("Postgresql:"));
    EXPECT_FALSE(std::filesystem::exists("POSTGRES:"));

    WriteText(dir / "notes.sqlite", std::string(4096, 'x'));
    r = cli({"archive", "add", "--database", (dir / "notes.sqlite").string(), SamplePath("")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: Cannot open the archive " + (dir / "notes.sqlite").string() +
                         ": file is not a database\n");
    EXPECT_EQ(ReadText(dir / "notes.sqlite"), std::string(4096, 'x'));

    // Another program's database: refused, and not changed in any way (no tables, no WAL).
    sqlite3* notes = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "notes.db").c_str(), &notes), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(notes, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('kept')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(notes);
    const std::string notesBefore = ReadText(dir / "notes.db");
    r = cli({"archive", "add", "--database", (dir / "notes.db").string(), SamplePath("")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: The database " + (dir / "notes.db").string() +
                         " holds tables of another program and no Kelvarox archive; it was left as it is\n");
    EXPECT_EQ(ReadText(dir / "notes.db"), notesBefore);
    EXPECT_FALSE(std::filesystem::exists(dir / "notes.db-wal"));

    r = cli({"series", "--database", (dir / "none.sqlite").string(), "#140"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: No archive at " + (dir / "none.sqlite").string() +
                         " (kelvarox-cli archive add makes one)\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.sqlite"));
}

// What the command line says of what it is given: the system's reason for a path it cannot
// read, a word for a folder without block files, a negative number as a number, and the same
// exit status from series and stats for a channel without blocks.
TEST(ArchiveCli, WhatTheCommandLineSaysOfItsArguments) {
    CliRunner cli;
    TempDir dir;
    const std::string d = dir.path().string(), db = d + "/archive.sqlite";
    std::filesystem::create_directories(dir / "folders" / "inner");
    WriteBytes(dir / "folders" / "inner" / "deep.dat", BuildBlock(BlockRecipe{}));
    std::filesystem::create_symlink("loop.dat", dir / "loop.dat");
    auto r = cli(
        {"archive", "add", "--database", db, d + "/missing.dat", d + "/missing-dir/", d + "/loop.dat", d + "/folders"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "added 0, already stored 0, failed 3\n");
    EXPECT_EQ(r.err, d + "/folders: no block files (*.dat, *.tlm) here; the folders in it are not searched\n" + d +
                         "/missing.dat: No such file or directory\n" + d +
                         "/missing-dir/: No such file or directory\n" + d +
                         "/loop.dat: Too many levels of symbolic links\n");

    // A file the user may not read (as root, the user is nobody).
    WriteBytes(dir / "locked.dat", BuildBlock(BlockRecipe{}));
    std::filesystem::permissions(dir / "locked.dat", std::filesystem::perms::none);
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    EXPECT_EQ(RunCliAsAnotherUser({"info", d + "/locked.dat"}, dir).err, d + "/locked.dat: Permission denied\n");

    cli({"archive", "add", "--database", db, SamplePath("SPIN.TLM")});
    r = cli({"archive", "set-orbit", "--database", db, SamplePath("SPIN.TLM"), "-256"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvarox-cli: Orbit -256 is out of range (0 to 1099511627776)\n");
    r = cli({"archive", "add", "--orbit-hibyte", "-5", "--database", db, SamplePath("SPIN.TLM")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("kelvarox-cli: --orbit-hibyte: '-5' is below 0\n", 0), 0u) << r.err;

    const auto series = cli({"series", "--database", db, "#180"});
    const auto stats = cli({"archive", "stats", "--database", db, "#180"});
    EXPECT_EQ(series.status, 1);
    EXPECT_EQ(series.out, "");
    EXPECT_EQ(series.err, "kelvarox-cli: no block of channel #180 in the archive\n");
    EXPECT_EQ(stats.status, series.status);
    EXPECT_EQ(stats.err, series.err);
}

// Control bytes of file names and arguments reach the terminal escaped, in every message and in
// the list.
TEST(ArchiveCli, ControlBytesOfNamesAndArgumentsAreEscaped) {
    CliRunner cli;
    TempDir dir;
    const std::string folder = (dir / "t\x1B]0;x\x07").string(), shown = (dir / "t\\x1B]0;x\\x07").string();
    std::filesystem::copy(SamplePath(""), folder);
    const std::string db = (dir / "archive.sqlite").string();
    auto r = cli({"archive", "add", "--database", db, folder});
    EXPECT_NE(r.err.find(shown + "/BATTERY.DAT: orbit 316 is not sure"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(shown + "/bad-signature.dat: Improper format"), std::string::npos) << r.err;
    r = cli({"archive", "list", "--database", db});
    EXPECT_NE(r.out.find(shown + "/SPIN.TLM\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
    r = cli({"archive", "set-orbit", "--database", db, "\x1B[2J", "316"});
    EXPECT_EQ(r.err, "kelvarox-cli: No block of the archive matches \\x1B[2J\n");
    r = cli({"series", "--database", folder + "/none.sqlite", "#140"});
    EXPECT_EQ(r.err, "kelvarox-cli: No archive at " + shown + "/none.sqlite (kelvarox-cli archive add makes one)\n");
    r = cli({"archive", "stats", "--database", db, "\x1B[2J"});
    EXPECT_EQ(r.err.rfind("kelvarox-cli: '\\x1B[2J' is not a channel", 0), 0u) << r.err;
}

// An archive that cannot be written (here a folder and file of another user; a read-only disk
// alike) is read by list, stats and series as it is, and nothing is made beside it.
TEST(ArchiveCli, AnArchiveThatCannotBeWrittenIsRead) {
    CliRunner cli;
    TempDir dir;
    const std::string db = (dir / "kept" / "archive.sqlite").string();
    cli({"archive", "add", "--database", db, SamplePath("")});
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(db, std::filesystem::perms(0444));
    std::filesystem::permissions(dir / "kept", std::filesystem::perms(0555));
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"archive", "list"}, std::vector<std::string>{"archive", "stats"},
          std::vector<std::string>{"series", "#140"}}) {
        std::vector<std::string> args = command;
        args.insert(args.end(), {"--database", db});
        const auto expected = cli(args);
        const auto r = RunCliAsAnotherUser(args, dir);
        EXPECT_EQ(r.status, 0) << command[0] << ": " << r.err;
        EXPECT_EQ(r.out, expected.out) << command[0];
        EXPECT_FALSE(expected.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(db + "-shm"));
    std::filesystem::permissions(dir / "kept", std::filesystem::perms(0755));
}

// On a terminal, a long import shows how far it has come, and clears that line at the end.
TEST(ArchiveCli, ProgressOnATerminal) {
    TempDir dir;
    std::mt19937 random(1);
    const auto passes = Satellite{}.Blocks(0, 30, 20, random);
    std::filesystem::create_directories(dir / "blocks");
    for (size_t i = 0; i < passes.size(); ++i)
        WriteBytes(dir / "blocks" / ("b" + std::to_string(i) + ".dat"),
                   PassBlock(passes[i], "0140", 8, static_cast<int>(i)));
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
        const std::string database = (dir / "archive.sqlite").string(), blocks = (dir / "blocks").string();
        ::execl(KELVAROX_CLI, KELVAROX_CLI, "archive", "add", "--database", database.c_str(), blocks.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string seen;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(terminal, buffer, sizeof buffer)) > 0) seen.append(buffer, static_cast<size_t>(n));
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(terminal);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(seen.find("\rarchive add: 600 of 600 files\r\033[K"), std::string::npos) << seen;
    EXPECT_NE(seen.find("added 600, already stored 0, failed 0"), std::string::npos) << seen;
}

// Without --database: $KELVAROX_DATABASE, else the data folder ($XDG_DATA_HOME only when absolute).
TEST(ArchiveCli, TheArchiveNoOptionNames) {
    TempDir dir;
    const std::string home = (dir / "home").string();
    auto add = [&](const std::string& named, const std::string& data) {
        return RunProcess(KELVAROX_CLI, {"archive", "add", SamplePath("SPIN.TLM")},
                          {{"HOME", home},
                           {"XDG_CONFIG_HOME", home + "/config"},
                           {"KELVAROX_DATABASE", named},
                           {"XDG_DATA_HOME", data}})
            .status;
    };
    EXPECT_EQ(add((dir / "named.sqlite").string(), (dir / "data").string()), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "named.sqlite"));
    EXPECT_EQ(add("", (dir / "data").string()), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "kelvarox" / "archive.sqlite"));
    EXPECT_EQ(add("", "relative/data"), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "home" / ".local" / "share" / "kelvarox" / "archive.sqlite"));
}

// Random time lines of one channel stored and read back: breaches gives the excursions that a
// scan sample by sample finds, on either engine.
TEST_P(ArchiveCliTest, BreachesEqualAScanOfEverySample) {
    using namespace kelvarox::timeline;
    std::mt19937 random(20261208);
    const ChannelLimits limits{10.0, 20.0, 30.0, 40.0, 2};
    WriteText(dir / "limits.toml",
              "format = 1\n[[channel]]\nhex = \"#140\"\nequation = { x1 = 1.0 }\n"
              "limits = { red_low = 10.0, yellow_low = 20.0, yellow_high = 30.0, red_high = 40.0, "
              "persistence = 2 }\n");
    std::vector<Block> blocks;
    int64_t position = 16 * 256;  // in MA from orbit 0
    std::filesystem::create_directories(dir / "blocks");
    for (int n = 0; n < 16; ++n) {
        Block block{&limits, position, {}};
        std::vector<uint8_t> raws;
        for (int i = 1 + static_cast<int>(random() % 24); i > 0; --i) {
            raws.push_back(static_cast<uint8_t>(random() % 50));
            block.values.push_back(raws.back());
        }
        const int64_t last = position + 4 * static_cast<int64_t>(raws.size() - 1);
        char text[4][3];
        for (const auto& [k, v] :
             {std::pair{0, position / 256 % 256}, {1, position % 256}, {2, last / 256 % 256}, {3, last % 256}})
            std::snprintf(text[k], 3, "%02X", static_cast<unsigned>(v));
        WriteBytes(dir / "blocks" / ("b" + std::to_string(n) + ".dat"),
                   BuildBlock(RecipeOf("0140", text[0], text[1], text[2], text[3], "04", raws)));
        blocks.push_back(std::move(block));
        // The next block joins this one (one step on) or leaves a break.
        const int64_t next[] = {4, 4, 5, 40};
        position = last + next[random() % 4];
    }
    ASSERT_EQ(Run({"archive", "add", "--orbit-hibyte", "0", (dir / "blocks").string()}).err.find(": Improper"),
              std::string::npos);
    std::string expected = "channel,level,side,first_orbit,first_ma,last_orbit,last_ma,samples,peak,file\r\n";
    for (const Excursion& e : BruteForce(blocks))
        expected += "#140," + std::string(e.level == LimitLevel::Red ? "red," : "yellow,") +
                    (e.side == LimitSide::Low ? "low," : "high,") + std::to_string(e.first.orbit) + "," +
                    std::to_string(e.first.ma) + "," + std::to_string(e.last.orbit) + "," + std::to_string(e.last.ma) +
                    "," + std::to_string(e.samples) + "," + std::to_string(static_cast<int>(e.peak)) + "," +
                    (dir / "blocks" / (e.file + ".dat")).string() + "\r\n";
    const auto r = Run({"breaches", "--satellite", (dir / "limits.toml").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
}

#include "ArchiveBackends.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>

#include "PostgresCluster.h"
#include "archive/PostgresAddress.h"

namespace kelvarox::testing {

namespace {

// Stops the cluster when the test program ends normally; the watchdog covers every other end.
class ClusterEnvironment : public ::testing::Environment {
public:
    void TearDown() override { PostgresCluster::StopIfStarted(); }
};
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ClusterEnvironment);

std::string Hex(int value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

class SqliteLock : public WriteLockHolder {
public:
    explicit SqliteLock(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK || Run("BEGIN IMMEDIATE") != SQLITE_OK)
            throw std::runtime_error("cannot take the write lock of " + path);
    }
    ~SqliteLock() override {
        Run("COMMIT");
        sqlite3_close(db_);
    }
    int Run(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

class PostgresLock : public WriteLockHolder {
public:
    // The advisory lock every Kelvarox writer takes ("Kelvarox" in ASCII).
    explicit PostgresLock(const std::string& uri) : c_(PQconnectdb(uri.c_str())) {
        Run("BEGIN");
        Run("SELECT pg_advisory_xact_lock(5432867781189201784)");
    }
    ~PostgresLock() override {
        Run("COMMIT");
        PQfinish(c_);
    }
    void Run(const char* sql) { PQclear(PQexec(c_, sql)); }

private:
    PGconn* c_;
};

}  // namespace

void RunSql(const std::string& location, const std::string& sql) {
    if (archive::IsPostgresLocation(location)) {
        PGconn* c = PQconnectdb(location.c_str());
        PGresult* r = PQexec(c, sql.c_str());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        const std::string error = PQerrorMessage(c);
        PQclear(r);
        PQfinish(c);
        if (!ok) throw std::runtime_error(error);
        return;
    }
    sqlite3* db = nullptr;
    char* error = nullptr;
    const bool ok = sqlite3_open(location.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    const std::string reason = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (!ok) throw std::runtime_error(reason);
}

std::unique_ptr<WriteLockHolder> HoldWriteLock(const std::string& location) {
    if (archive::IsPostgresLocation(location)) return std::make_unique<PostgresLock>(location);
    return std::make_unique<SqliteLock>(location);
}

std::string FreshArchive(Backend backend, const TempDir& dir) {
    if (backend == Backend::Postgres) return PostgresCluster::Get().NewDatabase();
    return (dir / "archive.sqlite").string();
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

std::vector<uint8_t> PassBlock(const TruePass& pass, const std::string& channel, int samples, int tag) {
    BlockRecipe recipe;
    recipe.startAmDay = recipe.endAmDay = std::to_string(pass.amDay);
    const int start = pass.ma / 4 * 4;
    const int end = start + 4 * (samples - 1);
    recipe.startOrbit = Hex(static_cast<int>(pass.orbit % 256), 2);
    recipe.startMA = Hex(start, 2);
    recipe.endOrbit = Hex(static_cast<int>((pass.orbit + end / 256) % 256), 2);
    recipe.endMA = Hex(end % 256, 2);
    recipe.maStep = "04";
    recipe.channel = channel;
    for (int i = 0; i < samples; ++i) recipe.samples.push_back(static_cast<uint8_t>((tag * 7 + i * 3) & 0xFF));
    recipe.samples[0] = static_cast<uint8_t>(tag & 0xFF);
    recipe.samples[1] = static_cast<uint8_t>((tag >> 8) & 0xFF);
    return BuildBlock(recipe);
}

}  // namespace kelvarox::testing

// The archive in one SQLite file, through SQLite's own C interface. The file is in WAL mode, so
// readers see the last committed state while a writer works and never wait for it; writers
// take turns (BEGIN IMMEDIATE, waiting up to a minute for the one before).
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <unordered_map>
#include <utility>

#include "archive/ArchiveMessages.h"
#include "archive/CommitPause.h"
#include "archive/Database.h"
#include "archive/Schema.h"
#include "archive/StoredStatistics.h"
#include "core/Errors.h"

namespace kelvarox::archive {

namespace {

constexpr int kBusyTimeoutMs = 60'000;
constexpr auto kWalRetryPause = std::chrono::milliseconds(20);
constexpr int kWriterCacheMiB = 16;
constexpr int kCheckpointPages = 25'000;  // of 4 KiB, some 100 MB

// $1, $2, ... as SQLite spells numbered parameters: ?1, ?2, ...
std::string NumberedParameters(std::string_view sql) {
    std::string out(sql);
    for (size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '$' && out[i + 1] >= '0' && out[i + 1] <= '9') out[i] = '?';
    return out;
}

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;
struct FinalizeStatement {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

class SqliteRow : public Row {
public:
    explicit SqliteRow(sqlite3_stmt* s) : s_(s) {}
    int ColumnOf(std::string_view name) const override {
        for (int c = 0, count = sqlite3_column_count(s_); c < count; ++c)
            if (const char* column = sqlite3_column_name(s_, c); column && name == column) return c;
        NoSuchColumn(name);
    }
    bool IsNull(int c) const override { return sqlite3_column_type(s_, c) == SQLITE_NULL; }
    int64_t Int(int c) const override { return sqlite3_column_int64(s_, c); }
    std::string_view Text(int c) const override {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
        return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(s_, c))) : std::string_view();
    }
    std::span<const uint8_t> Bytes(int c) const override {
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(s_, c));
        return data ? std::span(data, static_cast<size_t>(sqlite3_column_bytes(s_, c))) : std::span<const uint8_t>();
    }

private:
    sqlite3_stmt* s_;
};

class SqliteDatabase : public Database {
public:
    SqliteDatabase(Connection db, std::string name, WaitHooks hooks)
        : connection_(std::move(db)), db_(connection_.get()), name_(std::move(name)), hooks_(std::move(hooks)) {}

    const std::string& Name() const override { return name_; }
    std::string_view IdColumnType() const override { return "INTEGER PRIMARY KEY"; }
    std::string_view BytesType() const override { return "BLOB"; }
    // One b-tree, not a table and an index beside it.
    std::string_view KeyOrderedTable() const override { return " WITHOUT ROWID"; }

    bool HasTable(std::string_view name) override {
        bool found = false;
        const Param p[] = {name};
        Query("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = $1", p, [&](const Row&) { found = true; });
        return found;
    }

    bool HoldsForeignTables() override {
        bool found = false;
        Query(
            "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'kelvarox\\_%' ESCAPE '\\' "
            "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' LIMIT 1",
            {}, [&](const Row&) { found = true; });
        return found;
    }

    // SQLite keeps the bytes of a value as they were given, whatever the column's type.
    void ChangeColumnToBytes(std::string_view, std::string_view) override {}

    void PrepareForWriting() override {
        // The switch to WAL needs the file to itself, and while another copy has it open SQLite
        // answers "locked" at once instead of waiting: it is tried again until the busy timeout.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
        for (;;) {
            std::string mode;
            Query("PRAGMA journal_mode", {}, [&](const Row& r) { mode = r.Text("journal_mode"); });
            if (mode == "wal") break;
            try {
                Execute("PRAGMA journal_mode = WAL");
                break;
            } catch (const DatabaseError& e) {
                if ((e.SqliteCode() & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) throw;
            }
            if (hooks_.Abandoned()) throw KelvaroxError(msg::Abandoned(name_));
            std::this_thread::sleep_for(kWalRetryPause);
        }
        // A batch of new blocks touches a page of the SHA-256 index for nearly every block: the
        // cache keeps the pages its look-ups read until its inserts, and the write-ahead log is
        // copied into the file (with its two syncs) after some twenty batches, not after each.
        Execute("PRAGMA cache_size = -" + std::to_string(kWriterCacheMiB * 1024));  // negative: in KiB
        Execute("PRAGMA wal_autocheckpoint = " + std::to_string(kCheckpointPages));
    }

    void BeginRead() override { Begin("BEGIN"); }
    void BeginWrite() override {
        if (!hooks_.Any()) {
            Begin("BEGIN IMMEDIATE");
            return;
        }
        // Another writer at work is waited for in short steps, so that the wait can be told and
        // given up; it lasts as long as the busy timeout would.
        storing_ = false;
        sqlite3_busy_timeout(db_, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
        bool waiting = false;
        int rc = SQLITE_OK;
        while ((rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) == SQLITE_BUSY &&
               !hooks_.Abandoned() && std::chrono::steady_clock::now() < deadline) {
            if (!waiting && hooks_.writerWaits) hooks_.writerWaits(true);
            waiting = true;
            std::this_thread::sleep_for(kWalRetryPause);
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        if (waiting && hooks_.writerWaits) hooks_.writerWaits(false);
        if (rc == SQLITE_OK) return;
        if (rc == SQLITE_BUSY && hooks_.Abandoned()) throw KelvaroxError(msg::Abandoned(name_));
        Fail();
    }
    void Commit() override {
        if (std::exchange(storing_, false)) PauseBeforeCommitForTests();
        Execute("COMMIT");
    }
    void Rollback() noexcept override {
        storing_ = false;
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }

    void Query(std::string_view sql, std::span<const Param> params,
               const std::function<void(const Row&)>& each) override {
        sqlite3_stmt* s = Prepare(sql);
        Bind(s, params);
        const SqliteRow row(s);
        struct Reset {
            sqlite3_stmt* s;
            ~Reset() {
                sqlite3_reset(s);
                sqlite3_clear_bindings(s);
            }
        } reset{s};
        while (true) {
            const int rc = sqlite3_step(s);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) Fail();
            if (each) each(row);
        }
    }

    void Execute(std::string_view sql, std::span<const Param> params = {}) override { Query(sql, params, nullptr); }

    std::vector<bool> AreStored(std::span<const std::string> shas) override {
        std::vector<bool> stored;
        stored.reserve(shas.size());
        for (const auto& sha : shas) {
            bool found = false;
            const Param p[] = {std::string_view(sha)};
            Query("SELECT 1 FROM kelvarox_blocks WHERE sha256 = $1", p, [&](const Row&) { found = true; });
            stored.push_back(found);
        }
        return stored;
    }

    std::vector<RefusedRow> InsertBlocks(std::span<const NewBlockRow> rows) override {
        std::vector<RefusedRow> refused;
        for (size_t i = 0; i < rows.size(); ++i) {
            const auto values = BlockColumnValues(rows[i]);
            try {
                Execute(InsertBlockSql(), values);
            } catch (const DatabaseError& e) {
                // A refused row undoes only its own statement; the transaction goes on.
                const int code = e.SqliteCode() & 0xFF;
                if (code != SQLITE_CONSTRAINT && code != SQLITE_TOOBIG && code != SQLITE_MISMATCH) throw;
                refused.push_back({i, sqlite3_errmsg(db_)});
            }
        }
        storing_ = storing_ || refused.size() < rows.size();
        return refused;
    }

    void UpdatePasses(std::span<const PassUpdate> passes) override {
        if (passes.empty()) return;
        Execute(std::string("CREATE TEMP TABLE IF NOT EXISTS ") + kPlacedTable);
        for (const auto& pass : passes) {
            const auto values = PassUpdateValues(pass);
            Execute("INSERT INTO kelvarox_placed VALUES ($1, $2, $3, $4, $5, $6, $7)", values);
        }
        NoteOrbitsOfPlacedBlocks(*this);
        Execute(UpdateFromPlacedSql());
        Execute("DELETE FROM kelvarox_placed");
    }

    const char* LastMessage() const { return sqlite3_errmsg(db_); }

private:
    [[noreturn]] void Fail() {
        throw DatabaseError(msg::Failed(name_, sqlite3_errmsg(db_)), sqlite3_extended_errcode(db_));
    }

    void Begin(std::string_view sql) {
        storing_ = false;
        Execute(sql);
    }

    sqlite3_stmt* Prepare(std::string_view sql) {
        const std::string key(sql);
        if (auto found = statements_.find(key); found != statements_.end()) return found->second.get();
        const std::string text = NumberedParameters(sql);
        sqlite3_stmt* s = nullptr;
        const int rc = sqlite3_prepare_v3(db_, text.c_str(), static_cast<int>(text.size()), SQLITE_PREPARE_PERSISTENT,
                                          &s, nullptr);
        Statement statement(s);
        if (rc != SQLITE_OK) Fail();
        return statements_.emplace(key, std::move(statement)).first->second.get();
    }

    void Bind(sqlite3_stmt* s, std::span<const Param> params) {
        for (size_t i = 0; i < params.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            int rc = SQLITE_OK;
            if (const auto* v = std::get_if<int64_t>(&params[i]))
                rc = sqlite3_bind_int64(s, n, *v);
            else if (const auto* t = std::get_if<std::string_view>(&params[i]))
                rc = sqlite3_bind_text(s, n, t->data(), static_cast<int>(t->size()), SQLITE_STATIC);
            else if (const auto* b = std::get_if<std::span<const uint8_t>>(&params[i]))
                rc = sqlite3_bind_blob(s, n, b->data(), static_cast<int>(b->size()), SQLITE_STATIC);
            else
                rc = sqlite3_bind_null(s, n);
            if (rc != SQLITE_OK) Fail();
        }
    }

    Connection connection_;
    sqlite3* db_;  // connection_'s
    std::string name_;
    WaitHooks hooks_;
    // Finalized before the connection is closed.
    std::unordered_map<std::string, Statement> statements_;
    bool storing_ = false;  // the transaction stored blocks
};

// The path as an SQLite URI that opens it read-only and without locks: "%", "?" and "#" escaped.
std::string ImmutableUri(const std::string& path) {
    std::string uri = path.starts_with('/') ? "file://" : "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            uri += '%';
            uri += kDigits[static_cast<unsigned char>(c) >> 4];
            uri += kDigits[c & 0x0F];
        } else {
            uri += c;
        }
    }
    return uri + "?mode=ro&immutable=1";
}

bool FolderIsWritable(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

// Opens `target` with `flags`; messages name the archive `path`.
std::unique_ptr<Database> Open(const std::string& target, int flags, const std::string& path, WaitHooks hooks) {
    sqlite3* opened = nullptr;
    const int rc = sqlite3_open_v2(target.c_str(), &opened, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Connection db(opened);
    if (rc != SQLITE_OK) {
        if (!db) throw DatabaseError(msg::CannotOpen(path, "out of memory"), rc);
        throw DatabaseError(msg::CannotOpen(path, sqlite3_errmsg(db.get())), sqlite3_extended_errcode(db.get()));
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    auto connection = std::make_unique<SqliteDatabase>(std::move(db), path, std::move(hooks));
    try {
        connection->HasTable("kelvarox_meta");  // fails at once on a file that is no database
        // A commit is safe against the program being killed; only a power cut may lose the last ones.
        connection->Execute("PRAGMA synchronous = NORMAL");
    } catch (const DatabaseError& e) {
        throw DatabaseError(msg::CannotOpen(path, connection->LastMessage()), e.SqliteCode());
    }
    return connection;
}

}  // namespace

std::unique_ptr<Database> ConnectSqlite(const std::string& path, bool write, WaitHooks hooks) {
    std::error_code error;
    if (!write && !std::filesystem::exists(path, error)) throw KelvaroxError(msg::NoArchive(path));
    if (write) {
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, error);
        return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, path, std::move(hooks));
    }
    try {
        // Without SQLITE_OPEN_READONLY: the last reader then removes the WAL files as a writer
        // does, and SQLite opens a file it may not write read-only by itself.
        return Open(path, SQLITE_OPEN_READWRITE, path, hooks);
    } catch (const KelvaroxError&) {
        // A reader of a file in WAL mode needs the file's -shm beside it, which it cannot make
        // in a folder it cannot write: a read-only disk, or another user's folder. The file is
        // then read as it stands, without locks, which is sound as long as no one writes it.
        if (FolderIsWritable(path)) throw;
    }
    return Open(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, path, std::move(hooks));
}

}  // namespace kelvarox::archive

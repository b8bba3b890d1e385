#pragma once
// One connection to the database that holds an archive, whichever engine stands behind it:
// an SQLite file or a PostgreSQL server. The archive's SQL is written once, with parameters
// $1, $2, ...; the bulk paths (storing many blocks, loading the passes to re-place) are each
// engine's own. A connection belongs to one thread at a time.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "archive/BlockIntake.h"
#include "core/Errors.h"

namespace kelvarox::archive {

// A statement parameter: NULL, a whole number, a text or bytes.
using Param = std::variant<std::monostate, int64_t, std::string_view, std::span<const uint8_t>>;

// A statement the database failed, with the engine's own code for why: SQLite's extended result
// code, or PostgreSQL's SQLSTATE. The text is the one the user reads.
class DatabaseError : public KelvaroxError {
public:
    DatabaseError(const std::string& text, int sqliteCode) : KelvaroxError(text), sqliteCode_(sqliteCode) {}
    DatabaseError(const std::string& text, std::string sqlState)
        : KelvaroxError(text), sqlState_(std::move(sqlState)) {}
    // 0 from PostgreSQL.
    int SqliteCode() const { return sqliteCode_; }
    // Empty from SQLite, and when the server sent none (the connection was lost).
    const std::string& SqlState() const { return sqlState_; }

private:
    int sqliteCode_ = 0;
    std::string sqlState_;
};

// One row of a result, valid during the callback that receives it. Columns are named as the
// statement names them (an expression by its AS); a caller that reads many rows looks their
// positions up once with ColumnOf and reads by position.
class Row {
public:
    virtual ~Row() = default;
    // The position of the column `name`; raises KelvaroxError when the result has none.
    virtual int ColumnOf(std::string_view name) const = 0;
    virtual bool IsNull(int column) const = 0;
    virtual int64_t Int(int column) const = 0;
    virtual std::string_view Text(int column) const = 0;
    virtual std::span<const uint8_t> Bytes(int column) const = 0;

    bool IsNull(std::string_view name) const { return IsNull(ColumnOf(name)); }
    int64_t Int(std::string_view name) const { return Int(ColumnOf(name)); }
    std::string_view Text(std::string_view name) const { return Text(ColumnOf(name)); }
    std::span<const uint8_t> Bytes(std::string_view name) const { return Bytes(ColumnOf(name)); }

protected:
    [[noreturn]] static void NoSuchColumn(std::string_view name) {
        throw KelvaroxError("the result has no column " + std::string(name));
    }
};

// A block as it is stored: its facts and where the archive placed it.
struct NewBlockRow {
    const IncomingBlock* block = nullptr;
    int64_t startOrbit = 0;
    bool orbitSure = true;
    bool orbitOutlier = false;
    int64_t generation = 0;  // of the commit that stores it
};

// Orbits `first` to `last` of a channel.
struct ChannelOrbits {
    int32_t channel = 0;
    int64_t first = 0;
    int64_t last = 0;
};

// A new block that the database refused on its own (a constraint or a trigger of the site, a
// value it cannot take), while it took the others.
struct RefusedRow {
    size_t index = 0;    // into the rows given to InsertBlocks
    std::string reason;  // the database's message
};

// A new placement of the stored blocks of one pass (one AmDay, one orbit byte): the unpinned
// blocks take `orbit`, and the one stored first among them alone may be not sure; pinned blocks
// keep their pinned orbit and are sure.
struct PassUpdate {
    int32_t amDay = 0;
    int32_t orbitByte = 0;
    int64_t orbit = 0;
    int64_t firstId = 0;
    bool firstSure = true;
    bool restSure = true;
    bool outlier = false;
};

// How a connection waits: for a server that has not answered yet, and for another writer of
// the archive to finish. Either can take long; a program that must not hang on them (a window
// that closes) is told of the second and gives up either through `abandon`.
struct WaitHooks {
    // Raised, from any thread, to give up a connection attempt or a wait for another writer in
    // progress: the call then raises KelvaroxError with msg::Abandoned.
    const std::atomic<bool>* abandon = nullptr;
    // Called with true when a write has to wait for another writer, with false when its turn came.
    std::function<void(bool waiting)> writerWaits;

    bool Abandoned() const { return abandon && abandon->load(); }
    bool Any() const { return abandon || writerWaits; }
};

class Database {
public:
    virtual ~Database() = default;

    // The path or the address (without any password) the messages name.
    virtual const std::string& Name() const = 0;
    // The column types that differ between the engines, for the schema.
    virtual std::string_view IdColumnType() const = 0;
    virtual std::string_view BytesType() const = 0;
    // What follows the columns of a table that is kept in the order of its primary key alone.
    virtual std::string_view KeyOrderedTable() const { return {}; }

    virtual bool HasTable(std::string_view name) = 0;
    // Whether the database holds tables that are no archive's and must not be changed: an SQLite
    // file of another program. A PostgreSQL database is shared by design: the archive's tables,
    // all named kelvarox_..., stand beside any others.
    virtual bool HoldsForeignTables() = 0;
    // Makes a text column of a table hold bytes as they are, whatever their encoding.
    virtual void ChangeColumnToBytes(std::string_view table, std::string_view column) = 0;
    // Settings of the database that a writer needs, made once its schema is known to be ours.
    virtual void PrepareForWriting() {}

    // A transaction that sees one state of the archive throughout.
    virtual void BeginRead() = 0;
    // A transaction that waits for every other writer of the archive to finish first.
    virtual void BeginWrite() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() noexcept = 0;

    virtual void Query(std::string_view sql, std::span<const Param> params,
                       const std::function<void(const Row&)>& each) = 0;
    virtual void Execute(std::string_view sql, std::span<const Param> params = {}) = 0;

    // Which of `shas` are stored already.
    virtual std::vector<bool> AreStored(std::span<const std::string> shas) = 0;
    // Stores the rows; a row the database refuses on its own is left out and returned, and the
    // transaction goes on with the others. Any other failure raises KelvaroxError.
    virtual std::vector<RefusedRow> InsertBlocks(std::span<const NewBlockRow> rows) = 0;
    virtual void UpdatePasses(std::span<const PassUpdate> passes) = 0;
};

// Rolls back unless committed.
class Transaction {
public:
    enum class Kind { Read, Write };
    Transaction(Database& db, Kind kind) : db_(db) {
        if (kind == Kind::Write)
            db_.BeginWrite();
        else
            db_.BeginRead();
    }
    ~Transaction() {
        if (!done_) db_.Rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        db_.Commit();
        done_ = true;
    }

private:
    Database& db_;
    bool done_ = false;
};

// Connects to the database at `location`. For writing, an SQLite file is created (with its
// folder) when it is missing; for reading nothing is created, and a file on a disk that cannot
// be written is read as it stands. Raises KelvaroxError with one clear message when it cannot.
// `hooks` tell of waits for other writers and give up waits in progress.
std::unique_ptr<Database> ConnectSqlite(const std::string& path, bool write, WaitHooks hooks = {});
std::unique_ptr<Database> ConnectPostgres(const std::string& uri, WaitHooks hooks = {});

}  // namespace kelvarox::archive

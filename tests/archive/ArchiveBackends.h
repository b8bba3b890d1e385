#pragma once
// Tests that run against both engines of the archive.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Satellite.h"
#include "TestFiles.h"

namespace kelvarox::testing {

enum class Backend { Sqlite, Postgres };

// A new, empty archive: an SQLite file in `dir`, or a new database of the test cluster.
std::string FreshArchive(Backend backend, const TempDir& dir);

std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

// Runs `sql` (statements separated by ";") on the archive at `location`, as another program would.
void RunSql(const std::string& location, const std::string& sql);

// Another program inside its write transaction on the archive at `location`, holding the lock
// every writer takes, until it is destroyed (which commits).
class WriteLockHolder {
public:
    virtual ~WriteLockHolder() = default;
};
std::unique_ptr<WriteLockHolder> HoldWriteLock(const std::string& location);

// A block of `pass` with the satellite's true orbit byte and MA, `samples` samples 4 MA apart,
// of `channel` (four hexadecimal digits); `tag` makes its bytes differ from every other block's.
std::vector<uint8_t> PassBlock(const TruePass& pass, const std::string& channel, int samples, int tag);

}  // namespace kelvarox::testing

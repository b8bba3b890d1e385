#pragma once
// A throwaway PostgreSQL server for the tests: a cluster in a temporary folder, listening on a
// Unix socket in that folder only (no TCP), started on first use. It is stopped and its folder
// removed when the test program ends, however it ends: a watchdog process, started with the
// server, does it once the test program's end of a pipe closes.
#include <string>

namespace kelvarox::testing {

class PostgresCluster {
public:
    // The running cluster; starts it on the first call. Raises std::runtime_error when it cannot.
    static PostgresCluster& Get();
    // Stops the cluster, if one was started, and waits until it is gone.
    static void StopIfStarted();

    // A new empty database, as the postgresql:// address the archive takes.
    std::string NewDatabase();
    // The address of database `name` for the role `user`.
    std::string Address(const std::string& name, const std::string& user = "kelvarox") const;

private:
    PostgresCluster();
    void Stop();

    std::string folder_;
    int watchdogPipe_ = -1;
    int watchdog_ = -1;
    int databases_ = 0;
};

}  // namespace kelvarox::testing

#pragma once
// A PostgreSQL address whose server takes every connection and never answers: a Unix socket in
// a folder of its own that listens and never replies, as a server that hangs does.
#include <string>
#include <vector>

#include "TestFiles.h"

namespace kelvarox::testing {

class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    // The address of database "archive" there, with `options` ("connect_timeout=3600").
    std::string Address(const std::string& options = "") const;
    // Waits for the next connection and takes it (and still says nothing).
    void Accept();

private:
    TempDir dir_;
    int socket_ = -1;
    std::vector<int> taken_;
};

}  // namespace kelvarox::testing

#pragma once
// A postgresql:// address as the archive hands it to libpq and as messages show it. A password
// may stand in the address itself (user:password@) or in a parameter (password=, also spelled
// with percent escapes), and libpq repeats parts of a malformed address in its own error texts,
// so every text that reaches the user passes through WithoutSecrets first.
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox::archive {

struct PostgresAddress {
    std::string forLibpq;              // the address with its scheme in lower case, as libpq knows it
    std::string shown;                 // the address without any password, for messages
    std::vector<std::string> secrets;  // every text that may be a password or part of one, longest first
};

// Whether `location` starts with postgresql:// or postgres://, in any case.
bool IsPostgresLocation(std::string_view location);

PostgresAddress ParsePostgresAddress(const std::string& address);

// `text` (a message of libpq or of the server) with the address shown without its password and
// every secret of the address written as "***".
std::string WithoutSecrets(std::string text, const std::string& address, const PostgresAddress& parsed);

}  // namespace kelvarox::archive

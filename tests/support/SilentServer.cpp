#include "SilentServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace kelvarox::testing {

SilentServer::SilentServer() : socket_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (dir_ / ".s.PGSQL.5432").c_str());
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_, 64) != 0)
        throw std::runtime_error("cannot listen at " + (dir_ / ".s.PGSQL.5432").string());
}

SilentServer::~SilentServer() {
    for (const int taken : taken_) ::close(taken);
    ::close(socket_);
}

std::string SilentServer::Address(const std::string& options) const {
    return "postgresql:///archive?host=" + dir_.path().string() + (options.empty() ? "" : "&" + options);
}

void SilentServer::Accept() {
    const int taken = ::accept(socket_, nullptr, nullptr);
    if (taken >= 0) taken_.push_back(taken);
}

}  // namespace kelvarox::testing

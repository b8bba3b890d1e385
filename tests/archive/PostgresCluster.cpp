#include "PostgresCluster.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Process.h"

namespace kelvarox::testing {

namespace {

std::unique_ptr<PostgresCluster> running;

// The bin folder of the newest PostgreSQL installed the Debian way.
std::string ServerBinaries() {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error))
        if (std::filesystem::exists(entry.path() / "bin" / "initdb")) found.push_back(entry.path() / "bin");
    if (found.empty())
        throw std::runtime_error("no PostgreSQL server under /usr/lib/postgresql (scripts/install-deps.sh)");
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.parent_path().filename().string()) < std::stoi(b.parent_path().filename().string());
    });
    return found.back().string();
}

// initdb refuses to run as root: as root, the server's programs run as the postgres user.
std::vector<std::string> AsServerUser(const std::string& program, std::vector<std::string> args) {
    if (::geteuid() != 0) {
        args.insert(args.begin(), program);
        return args;
    }
    std::vector<std::string> command = {"-u", "postgres", "--", program};
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

ProcessResult RunServerProgram(const std::string& program, const std::vector<std::string>& args) {
    if (::geteuid() != 0) return RunProcess(program, args);
    return RunProcess("/usr/sbin/runuser", AsServerUser(program, args));
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

PostgresCluster& PostgresCluster::Get() {
    if (!running) running.reset(new PostgresCluster());
    return *running;
}

void PostgresCluster::StopIfStarted() {
    if (running) running->Stop();
    running.reset();
}

PostgresCluster::PostgresCluster() {
    const std::string bin = ServerBinaries();
    char folder[] = "/tmp/kelvarox-pg-XXXXXX";
    if (!::mkdtemp(folder)) throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    if (::geteuid() == 0) {
        const passwd* server = ::getpwnam("postgres");
        if (!server || ::chown(folder, server->pw_uid, server->pw_gid) != 0)
            throw std::runtime_error("cannot hand " + folder_ + " to the postgres user");
    }

    // The watchdog: a shell in a session of its own that waits for the end of the pipe, then
    // stops the server and removes the folder.
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::string stop;
    for (const auto& word : AsServerUser(bin + "/pg_ctl", {"-D", folder_ + "/data", "-m", "immediate", "stop"}))
        stop += Quoted(word) + " ";
    if (::geteuid() == 0) stop = "/usr/sbin/runuser " + stop;
    const std::string script = "read line; " + stop + ">/dev/null 2>&1; rm -rf " + Quoted(folder_);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        ::dup2(pipeEnds[0], 0);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[0]);
    watchdogPipe_ = pipeEnds[1];
    watchdog_ = pid;

    auto r = RunServerProgram(bin + "/initdb", {"-D", folder_ + "/data", "-A", "trust", "-U", "kelvarox", "--no-sync",
                                                "-E", "UTF8", "--locale=C"});
    if (r.status != 0) throw std::runtime_error("initdb failed: " + r.err);
    r = RunServerProgram(bin + "/pg_ctl", {"-D", folder_ + "/data", "-l", folder_ + "/server.log", "-w", "-o",
                                           "-k " + folder_ + " -c listen_addresses='' -c fsync=off", "start"});
    if (r.status != 0) throw std::runtime_error("pg_ctl start failed: " + r.out + r.err);
}

void PostgresCluster::Stop() {
    if (watchdogPipe_ < 0) return;
    ::close(watchdogPipe_);
    watchdogPipe_ = -1;
    int status = 0;
    ::waitpid(watchdog_, &status, 0);
}

std::string PostgresCluster::Address(const std::string& name, const std::string& user) const {
    return "postgresql:///" + name + "?host=" + folder_ + "&user=" + user;
}

std::string PostgresCluster::NewDatabase() {
    const std::string name = "archive_" + std::to_string(++databases_);
    PGconn* c = PQconnectdb(Address("postgres").c_str());
    const std::string created = "CREATE DATABASE " + name;
    PGresult* r = PQstatus(c) == CONNECTION_OK ? PQexec(c, created.c_str()) : nullptr;
    const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    const std::string error = PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    if (!ok) throw std::runtime_error("cannot create database " + name + ": " + error);
    return Address(name);
}

}  // namespace kelvarox::testing

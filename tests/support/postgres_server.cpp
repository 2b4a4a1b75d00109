#include "support/postgres_server.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace testing_support {
namespace {

constexpr const char* kPort = "5432";

// The newest server's programs that Debian installs (they are not on the PATH).
std::string ServerPrograms() {
  std::string best;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
    const std::string bin = entry.path().string() + "/bin";
    if (std::filesystem::exists(bin + "/initdb") && bin > best) best = bin;
  }
  return best;
}

// Quoted for /bin/sh.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

PostgresServer::PostgresServer() : bin(ServerPrograms()), folder(dir.File("pg")) {
  if (bin.empty()) {
    failure = "PostgreSQL's server programs are not installed (Debian package postgresql)";
    return;
  }
  std::filesystem::create_directory(folder);
  if (::geteuid() == 0) {
    // Whatever the umask made of the test's folder, nobody may pass through it.
    std::error_code error;
    std::filesystem::permissions(
        dir.Path(), std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add, error);
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || ::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
      failure = "cannot hand " + folder + " to nobody";
      return;
    }
  }
  // A role with a password for the tests of a wrong one; every other connection is trusted.
  const std::string hba = folder + "/hba.conf";
  std::FILE* file = std::fopen(hba.c_str(), "w");
  if (file != nullptr) {
    std::fputs("local all guarded scram-sha-256\nlocal all all trust\n", file);
    std::fclose(file);
  }
  if (!Run(bin + "/initdb",
           "-D " + Quoted(folder + "/data") +
               " -U molvane --auth=trust --no-sync -E UTF8 --locale=C.UTF-8 >/dev/null",
           true) ||
      !Run("cp", Quoted(hba) + " " + Quoted(folder + "/data/pg_hba.conf"), true)) {
    failure = "initdb failed in " + folder;
    return;
  }
  if (!Start()) return;
  Psql(
      "CREATE ROLE guarded LOGIN PASSWORD 'right-password'; GRANT ALL ON SCHEMA public TO guarded");
}

PostgresServer::~PostgresServer() {
  if (running)
    Run(bin + "/pg_ctl", "-D " + Quoted(folder + "/data") + " -m immediate -s stop", true);
}

bool PostgresServer::Run(const std::string& program, const std::string& arguments,
                         bool asServerUser) const {
  const std::string command = Quoted(program) + " " + arguments;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (asServerUser && ::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (nobody == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
          ::setuid(nobody->pw_uid) != 0) {
        ::_exit(126);
      }
    }
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

bool PostgresServer::Start() {
  const std::string log = folder + "/server.log";
  running = Run(bin + "/pg_ctl",
                "-D " + Quoted(folder + "/data") + " -l " + Quoted(log) + " -w -s -o " +
                    Quoted("-c listen_addresses='' -k " + folder + " -p " + kPort +
                           " -c fsync=off -c full_page_writes=off") +
                    " start",
                true);
  if (!running) failure = "the server did not start; its log:\n" + ReadFile(log);
  return running;
}

bool PostgresServer::Stop() {
  if (!running) return true;
  running = !Run(bin + "/pg_ctl", "-D " + Quoted(folder + "/data") + " -m fast -w -s stop", true);
  return !running;
}

std::string PostgresServer::Uri(const std::string& userInfo) const {
  return "postgresql://" + userInfo + "@/postgres?host=" + folder + "&port=" + kPort;
}

std::string PostgresServer::Psql(const std::string& sql) const {
  const std::string command =
      Quoted(bin + "/psql") + " -X -q -A -t -d " + Quoted(Uri()) + " -c " + Quoted(sql) + " 2>&1";
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return {};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    output.append(buffer, got);
  return output;
}

}  // namespace testing_support

#include "cli/ctl_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>

extern char** environ;

namespace cli_testing {
namespace {

constexpr int kHangBoundMs = 60000;
constexpr int kStartBoundMs = 10000;

std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (name != "MOLVANE_PORTS" && name != "MOLVANE_FLEET" && extra.count(name) == 0)
      result.push_back(text);
  }
  // The fleet store stays off unless a test names one: no test writes into the build's folder.
  if (extra.count("MOLVANE_FLEET") == 0) result.push_back("MOLVANE_FLEET=off");
  for (const auto& [name, value] : extra) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Forks and runs `program`; stdout and stderr go to the two pipe ends given.
pid_t Spawn(const std::string& program, std::vector<std::string> arguments,
            const std::string& folder, std::vector<std::string> environment, int outFd, int errFd) {
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(environment);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(outFd, STDOUT_FILENO);
    ::dup2(errFd, STDERR_FILENO);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  return pid;
}

// When and how a run is interrupted: `signal` once, when `when` first holds.
struct Interruption {
  int signal = 0;
  std::function<bool(const std::string& out)> when;
};

// Reads both pipes until both are closed or the bound passes; false on the bound.
bool Collect(int outFd, int errFd, std::string& out, std::string& err, pid_t pid,
             const Interruption& interruption) {
  bool interrupted = !interruption.when;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&out, &err};
  int open = 2;
  while (open > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (::poll(fds, 2, 200) < 0) return false;
    if (!interrupted && interruption.when(out)) interrupted = ::kill(pid, interruption.signal) == 0;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
        if (!interrupted && interruption.when(out))
          interrupted = ::kill(pid, interruption.signal) == 0;
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  return true;
}

CtlRun RunInterrupted(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& folder,
                      const std::map<std::string, std::string>& environment,
                      const Interruption& interruption) {
  CtlRun run;
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return run;
  const pid_t pid =
      Spawn(program, arguments, folder, ChildEnvironment(environment), out[1], err[1]);
  ::close(out[1]);
  ::close(err[1]);
  const bool ended = pid > 0 && Collect(out[0], err[0], run.out, run.err, pid, interruption);
  ::close(out[0]);
  ::close(err[0]);
  if (pid <= 0) return run;
  if (!ended) ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (ended && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace

CtlRun RunCtl(const std::vector<std::string>& arguments, const std::string& folder,
              const std::map<std::string, std::string>& environment) {
  return RunInterrupted(MOLVANE_CTL_PATH, arguments, folder, environment, {});
}

CtlRun RunCtlAt(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& folder, const std::map<std::string, std::string>& environment) {
  return RunInterrupted(program, arguments, folder, environment, {});
}

CtlRun RunCtlSignalled(const std::vector<std::string>& arguments, const std::string& folder,
                       int signal, const std::function<bool(const std::string& out)>& when) {
  return RunInterrupted(MOLVANE_CTL_PATH, arguments, folder, {}, {signal, when});
}

CartsimProcess::CartsimProcess(const std::vector<std::string>& options, const std::string& folder) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return;
  const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  pid = Spawn(MOLVANE_CARTSIM_PATH, options, folder, ChildEnvironment({}), out[1], devNull);
  ::close(out[1]);
  ::close(devNull);
  outFd = out[0];
  // The first line names the device.
  std::string line;
  pollfd fd{outFd, POLLIN, 0};
  while (pid > 0 && line.find('\n') == std::string::npos && ::poll(&fd, 1, kStartBoundMs) > 0) {
    char c = 0;
    if (::read(outFd, &c, 1) != 1) break;
    line += c;
  }
  if (line.find('\n') != std::string::npos) devicePath = line.substr(0, line.find('\n'));
}

void CartsimProcess::Stop() {
  if (pid > 0) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
  }
  if (outFd >= 0) ::close(outFd);
  outFd = -1;
}

CartsimProcess::~CartsimProcess() { Stop(); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace cli_testing

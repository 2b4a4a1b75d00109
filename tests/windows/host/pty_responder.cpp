// Linux side of the serial tests under Wine: a pseudo-terminal whose far end answers scripts.
//
// usage: pty_responder LINK
// Makes a pseudo-terminal, points the symbolic link LINK at it (a Wine prefix's dosdevices/comN),
// prints "ready" and then serves until killed. Every line the Windows side writes (ended by LF)
// is a script of what to send back:
//   \r \n \\      CR, LF, a backslash
//   ~N           pause N milliseconds
//   ?            the line settings the port was given, as "<baud> <bits><parity><stop>", e.g.
//                "38400 8N1"
//   anything else is sent as it stands.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

int BaudOf(speed_t speed) {
  switch (speed) {
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    default:
      return -1;
  }
}

std::string LineSettings(int slave) {
  termios settings{};
  if (tcgetattr(slave, &settings) != 0) return "unknown";
  const tcflag_t size = settings.c_cflag & CSIZE;
  const int bits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
  const char parity = !(settings.c_cflag & PARENB) ? 'N' : (settings.c_cflag & PARODD) ? 'O' : 'E';
  const int stop = (settings.c_cflag & CSTOPB) ? 2 : 1;
  return std::to_string(BaudOf(cfgetospeed(&settings))) + " " + std::to_string(bits) + parity +
         std::to_string(stop);
}

void Send(int master, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = write(master, bytes.data() + sent, bytes.size() - sent);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

void RunScript(int master, int slave, const std::string& script) {
  std::string pending;
  for (std::size_t i = 0; i < script.size(); ++i) {
    const char c = script[i];
    if (c == '\\' && i + 1 < script.size()) {
      const char next = script[++i];
      pending += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    } else if (c == '~') {
      Send(master, pending);
      pending.clear();
      int ms = 0;
      while (i + 1 < script.size() && script[i + 1] >= '0' && script[i + 1] <= '9') {
        ms = ms * 10 + (script[++i] - '0');
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else if (c == '?') {
      pending += LineSettings(slave) + "\r";
    } else {
      pending += c;
    }
  }
  Send(master, pending);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pty_responder LINK\n");
    return 2;
  }
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("pty_responder: posix_openpt");
    return 1;
  }
  const std::string slavePath = ptsname(master);
  // Held open so that the Windows side closing its handle does not hang the line up.
  const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);
  unlink(argv[1]);
  if (symlink(slavePath.c_str(), argv[1]) != 0) {
    std::perror("pty_responder: symlink");
    return 1;
  }
  std::printf("ready %s\n", slavePath.c_str());
  std::fflush(stdout);

  std::string line;
  char buffer[256];
  while (true) {
    pollfd entry{master, POLLIN, 0};
    if (poll(&entry, 1, -1) < 0) continue;
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] != '\n') {
        line += buffer[i];
        continue;
      }
      RunScript(master, slave, line);
      line.clear();
    }
  }
}

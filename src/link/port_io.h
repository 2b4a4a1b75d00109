#pragma once
#include <string>

namespace molvane {

// What one read, write or wait on the serial port came to. Every such call of SerialPort returns
// one, so that a caller cannot mistake a port that failed for a quiet line or a short answer.
struct [[nodiscard]] PortIo {
  enum class Status {
    Ok,
    TimedOut,     // nothing (or no whole line) came within the wait
    Interrupted,  // the port's interrupt flag ended the wait: the program is stopping
    Failed,       // the port is closed, its device has gone, or the device refused the write
  };

  Status status = Status::Ok;
  // Bytes moved (Read, Write, Drain, DrainLeftover), or waiting (BytesWaiting).
  int bytes = 0;
  // ReadLine: the line, CR and LF left out. "Timeout" when the reader gave up (a silent line,
  // a port that failed), never when it was interrupted.
  std::string text;
  // ReadLine: what came of a line that did not end (CR and LF left out, at most the length of a
  // line), so that the caller can tell what kept talking.
  std::string unended;

  bool Ok() const { return status == Status::Ok; }
  explicit operator bool() const { return Ok(); }

  static PortIo Moved(int count) { return {Status::Ok, count, {}, {}}; }
  static PortIo Ended(Status why, int count = 0) { return {why, count, {}, {}}; }
};

}  // namespace molvane

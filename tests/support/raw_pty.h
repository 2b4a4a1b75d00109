#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// The far end of a pseudo-terminal, scripted byte by byte by a test.
class RawPty {
 public:
  RawPty();
  ~RawPty();
  RawPty(const RawPty&) = delete;
  RawPty& operator=(const RawPty&) = delete;

  bool Ok() const { return master >= 0; }
  const std::string& DevicePath() const { return devicePath; }
  void Write(const std::string& bytes);
  // Everything the host has sent within the wait (returns early once something came and the
  // line has been quiet for quietMs).
  std::string ReadAvailable(int waitMs = 200, int quietMs = 30);
  void HangUp();  // closes the far end: the host sees the device vanish
  int Unread();   // bytes written to the host that it has not read yet

 private:
  std::mutex useMutex;  // a hang-up from one thread never closes what another writes or reads
  std::atomic<int> master{-1};
  std::atomic<int> heldSlave{-1};
  std::string devicePath;
};

// A minimal cart for wire-level tests of host operations: each CR-terminated line the host sends
// is recorded and answered by the test's function.
//
// With `checkAnswersRead`, each answer goes out a little later than the host's pause after a
// command, and a command that arrives before the previous answer went out is recorded: the host
// cannot have read that answer, so an operation forgot its reply read (which the next command's
// drain would otherwise swallow unseen).
class ScriptedCart {
 public:
  using Responder = std::function<std::string(const std::string& line)>;
  static constexpr int kAnswerDelayMs = 50;  // longer than the host's 30 ms pause after a command

  explicit ScriptedCart(Responder responder, bool checkAnswersRead = false);
  ~ScriptedCart();

  const std::string& DevicePath() const { return pty.DevicePath(); }
  std::vector<std::string> Lines();  // lines received so far (CR removed, LF dropped)
  std::string RawBytes();            // every byte received
  void SetResponder(Responder responder);
  RawPty& Pty() { return pty; }
  // The commands whose answer the host did not wait for (with checkAnswersRead).
  std::vector<std::string> UnreadAnswers();
  int AnswersSent() const { return answersSent.load(); }

 private:
  using Clock = std::chrono::steady_clock;
  void Run(std::stop_token stop);
  void TakeLine(const std::string& line);
  void SendDueAnswer();

  RawPty pty;
  const bool checkAnswersRead;
  std::mutex mutex;
  Responder responder;
  std::vector<std::string> lines;
  std::vector<std::string> unreadAnswers;
  std::string raw;
  std::string pending;
  // The answer waiting to go out, with the command it answers (cart thread only).
  std::string queuedAnswer;
  std::string queuedFor;
  Clock::time_point answerDue{};
  std::atomic<int> answersSent{0};
  std::jthread thread;
};

}  // namespace testing_support

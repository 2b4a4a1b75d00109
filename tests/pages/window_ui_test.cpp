// What a page's job on the cart thread asks of the window is asked on the window's thread, and
// the job waits for the answer; a window that closes meanwhile gives the cautious answer.
#include "pages/window_ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include "support/controller_settings.h"
#include "support/recording_ui.h"

namespace {

using Answer = molvane::UiServices::Answer;
using Buttons = molvane::UiServices::Buttons;

// The window's thread as a queue the test runs by hand.
struct FakeWindow {
  molvane::WindowDispatch Dispatch() {
    return [this](std::function<void()> call) {
      std::lock_guard lock(mutex);
      calls.push_back(std::move(call));
    };
  }
  // Runs what was dispatched until `done` holds.
  void RunUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); ++i) {
      std::function<void()> call;
      {
        std::lock_guard lock(mutex);
        if (!calls.empty()) {
          call = std::move(calls.front());
          calls.pop_front();
        }
      }
      if (call) {
        call();
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
  bool Pending() {
    std::lock_guard lock(mutex);
    return !calls.empty();
  }
  std::mutex mutex;
  std::deque<std::function<void()>> calls;
};

struct ThreadCheckingFields : molvane::FieldExchange {
  void ReadAllFields() override { readOn = std::this_thread::get_id(); }
  void WriteAllFields() override {}
  std::thread::id readOn;
};

TEST(WindowUi, TheCartThreadsQuestionIsAnsweredOnTheWindowsThread) {
  molvane::CartThread worker;
  FakeWindow window;
  testing_support::RecordingUi shown;
  shown.answers = {Answer::No};
  molvane::WindowUi ui(shown, worker, window.Dispatch());
  ThreadCheckingFields view;
  molvane::WindowFields fields(view, worker, window.Dispatch());

  std::atomic<int> answer{-1};
  std::atomic<bool> done{false};
  worker.Post([&] {
    fields.ReadAllFields();
    answer = static_cast<int>(ui.MessageBox("Are you sure?", Buttons::YesNo, {}));
    done = true;
  });
  window.RunUntil([&] { return done.load(); });
  EXPECT_EQ(answer.load(), static_cast<int>(Answer::No));
  EXPECT_EQ(view.readOn, std::this_thread::get_id()) << "the controls are read on the window's";
  EXPECT_EQ(shown.Texts(), std::vector<std::string>{"Are you sure?"});

  // The window closes while a question waits: the job goes on with Cancel, and the question
  // that reaches the window later touches nothing of the job's.
  answer = -1;
  worker.Post([&] { answer = static_cast<int>(ui.MessageBox("Load?", Buttons::OkCancel, {})); });
  for (int i = 0; i < 1000 && !window.Pending(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  worker.Stop();
  EXPECT_EQ(answer.load(), static_cast<int>(Answer::Cancel));
  window.RunUntil([&] { return !window.Pending(); });
}

}  // namespace

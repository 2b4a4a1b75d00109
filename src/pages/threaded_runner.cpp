#include "pages/threaded_runner.h"

#include <cctype>

#include "app/cart_thread.h"

namespace molvane {
namespace {

std::string StepOf(const std::string& action, const std::string& step) {
  if (action.empty()) return step;
  if (step.empty()) return action;
  std::string lowered = step;
  lowered[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowered[0])));
  return action + " (" + lowered + ")";
}

}  // namespace

ThreadedRunner::ThreadedRunner(CartThread& thread, WindowDispatch toWindow)
    : thread(thread), toWindow(std::move(toWindow)) {}

void ThreadedRunner::Run(CartJob job) {
  const bool operatorWork = inAction;
  const std::string action = operatorWork ? actionTitle : std::string();
  std::string title = operatorWork ? StepOf(action, job.title) : job.title;
  if (operatorWork) ChangeHeld(+1);
  const std::weak_ptr<ThreadedRunner*> back = self;
  const bool posted = thread.Post(
      [work = std::move(job.work), toWindow = toWindow, back, operatorWork, action] {
        std::function<void()> apply = work();
        toWindow([apply = std::move(apply), back, operatorWork, action] {
          if (back.expired()) return;
          ThreadedRunner* runner = *back.lock();
          // Whatever the result asks of the cart next belongs to the same operation, or to none
          // when the work was nobody's.
          const bool outerAction = runner->inAction;
          const std::string outerTitle = runner->actionTitle;
          runner->inAction = operatorWork;
          runner->actionTitle = action;
          apply();
          if (back.expired()) return;  // the result closed the page
          runner->inAction = outerAction;
          runner->actionTitle = outerTitle;
          if (operatorWork) runner->ChangeHeld(-1);
        });
      },
      std::move(title), std::move(job.key));
  if (!posted && operatorWork) ChangeHeld(-1);
}

void ThreadedRunner::AsOperatorAction(const std::string& title,
                                      const std::function<void()>& operation) {
  const bool outerAction = inAction;
  const std::string outerTitle = actionTitle;
  inAction = true;
  actionTitle = title;
  operation();
  inAction = outerAction;
  actionTitle = outerTitle;
}

// A box an operation opens keeps the window's timers running; what they start meanwhile is not
// that operation's, nor held with it.
void ThreadedRunner::Apart(const std::function<void()>& call) {
  const bool outerAction = inAction;
  inAction = false;
  call();
  inAction = outerAction;
}

void ThreadedRunner::ChangeHeld(int by) {
  held += by;
  if (onHeldChanged) onHeldChanged();
}

}  // namespace molvane

#include "pages/threaded_runner.h"

#include "app/cart_thread.h"

namespace molvane {

ThreadedRunner::ThreadedRunner(CartThread& thread, WindowDispatch toWindow)
    : thread(thread), toWindow(std::move(toWindow)) {}

void ThreadedRunner::Run(CartJob job) {
  const bool operatorWork = inAction;
  std::string title = job.title.empty() && operatorWork ? actionTitle : job.title;
  if (operatorWork) ChangeHeld(+1);
  const std::weak_ptr<ThreadedRunner*> back = self;
  const bool posted = thread.Post(
      [work = std::move(job.work), toWindow = toWindow, back, operatorWork, title] {
        std::function<void()> apply = work();
        toWindow([apply = std::move(apply), back, operatorWork, title] {
          if (back.expired()) return;
          if (!operatorWork) return apply();
          // Whatever the result asks of the cart next belongs to the same operation.
          ThreadedRunner* runner = *back.lock();
          const bool outerAction = runner->inAction;
          const std::string outerTitle = runner->actionTitle;
          runner->inAction = true;
          runner->actionTitle = title;
          apply();
          if (back.expired()) return;  // the result closed the page
          runner->inAction = outerAction;
          runner->actionTitle = outerTitle;
          runner->ChangeHeld(-1);
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

void ThreadedRunner::ChangeHeld(int by) {
  held += by;
  if (onHeldChanged) onHeldChanged();
}

}  // namespace molvane

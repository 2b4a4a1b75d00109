#include "app/operation_scope.h"

namespace molvane {
namespace {
// Each thread has its own innermost scope: the transfer worker's commands never count for an
// operation the window runs meanwhile.
thread_local OperationScope* innermost = nullptr;
}  // namespace

OperationScope::OperationScope(const CartController& controller)
    : controller(controller), outer(innermost) {
  innermost = this;
}

OperationScope::~OperationScope() {
  innermost = outer;
  if (outer != nullptr && !failure.empty()) outer->Fail(failure);
}

void OperationScope::Fail(const std::string& message) {
  if (failure.empty()) failure = message.empty() ? std::string("Error") : message;
}

std::string OperationScope::Text(const std::string& confirmation) const {
  return Succeeded() ? confirmation : failure;
}

Outcome OperationScope::Result(const std::string& confirmation) const {
  return Succeeded() ? Outcome::Success(confirmation) : Outcome::Failure(failure);
}

void OperationScope::Note(const CartController& controller, const std::string& message) {
  for (OperationScope* scope = innermost; scope != nullptr; scope = scope->outer) {
    if (&scope->controller != &controller) continue;
    scope->Fail(message);
    return;
  }
}

}  // namespace molvane

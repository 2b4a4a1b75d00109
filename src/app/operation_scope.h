#pragma once
#include <string>

#include "app/outcome.h"

namespace molvane {

class CartController;

// Tells whether every command of one operator operation went through. While a scope is open, the
// command transaction reports to it the first failure it classifies on the scope's thread: no
// cart, a write error, a time-out, "unknown cmd" or "error". A page then shows that failure's
// message in place of its fixed confirmation, which would otherwise report a failure as success.
// Scopes nest; an inner scope's failure also counts for the one around it.
class OperationScope {
 public:
  explicit OperationScope(const CartController& controller);
  ~OperationScope();
  OperationScope(const OperationScope&) = delete;
  OperationScope& operator=(const OperationScope&) = delete;

  bool Succeeded() const { return failure.empty(); }
  const std::string& Failure() const { return failure; }
  // A failure found outside the link, such as a file that could not be written.
  void Fail(const std::string& message);
  // Takes back what was noted: an answer the operation knows to be harmless (the cart refusing
  // to remove a PIN it does not hold) is no failure of the operation around it.
  void Forgive() { failure.clear(); }
  // The confirmation when all went well, otherwise the first failure's message.
  std::string Text(const std::string& confirmation) const;
  // The same as an outcome.
  molvane::Outcome Result(const std::string& confirmation = {}) const;

  // Called by the command transaction for each failure it classifies.
  static void Note(const CartController& controller, const std::string& message);

 private:
  const CartController& controller;
  OperationScope* outer;
  std::string failure;
};

}  // namespace molvane

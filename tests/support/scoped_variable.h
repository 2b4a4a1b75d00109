#pragma once
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace testing_support {

// Sets an environment variable (or, given nullptr, removes it) for the life of a test and puts
// the old value back.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const char* value) : name(std::move(name)) {
    if (const char* old = std::getenv(this->name.c_str())) previous = old;
    Set(value);
  }
  ScopedVariable(std::string name, const std::string& value)
      : ScopedVariable(std::move(name), value.c_str()) {}
  ~ScopedVariable() { Set(previous ? previous->c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const char* value) {
#ifdef _WIN32
    // An empty value removes the variable there.
    _putenv_s(name.c_str(), value ? value : "");
#else
    if (value)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
#endif
  }

  std::string name;
  std::optional<std::string> previous;
};

}  // namespace testing_support

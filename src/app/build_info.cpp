#include "app/build_info.h"

namespace molvane {
namespace {

#if defined(__clang__)
constexpr const char* kCompiler = "Clang " __clang_version__;
#elif defined(__GNUC__)
constexpr const char* kCompiler = "GCC " __VERSION__;
#else
constexpr const char* kCompiler = "unknown";
#endif

#if defined(MOLVANE_BUILD_TYPE)
constexpr const char* kBuildType = MOLVANE_BUILD_TYPE;
#else
constexpr const char* kBuildType = "";
#endif

}  // namespace

std::string BuildInfoText() {
  const std::string buildType = *kBuildType != '\0' ? kBuildType : "not named";
  return std::string("Molvane Version ") + MOLVANE_VERSION_TEXT + "\n" + "Compiler: " + kCompiler +
         ", " + std::to_string(sizeof(void*) * 8) + "-bit\n" + "Build type: " + buildType + "\n" +
         "Built: " + __DATE__ + " " + __TIME__ + "\n";
}

}  // namespace molvane

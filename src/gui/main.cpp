#include <QtGlobal>

#include "gui/molvane_app.h"
#include "gui/program_info.h"

namespace {

// Where a display is named by the environment, a machine without one (a build server, a
// remote shell) still runs the program, on Qt's offscreen platform.
#ifdef _WIN32
constexpr bool kDisplayFromEnvironment = false;
#else
constexpr bool kDisplayFromEnvironment = true;
#endif

void UseOffscreenWithoutDisplay() {
  if (!kDisplayFromEnvironment || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (molvane::PrintProgramInfo(argc, argv)) return 0;
  UseOffscreenWithoutDisplay();
  molvane::CMolvaneApp app(argc, argv);
  return app.InitInstance();
}

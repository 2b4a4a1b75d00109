#include "gui/program_info.h"

#include <cstdio>
#include <cstring>

#include "gui/molvane_app.h"

namespace molvane {
namespace {

void PrintUsage() {
  std::printf(
      "usage: molvane [%s MS] [%s FILE]\n"
      "The desktop program: one window of six pages over the cart found on the machine's FTDI\n"
      "USB serial adapters, or on the ports named in MOLVANE_PORTS.\n"
      "  %s MS      close the window after MS milliseconds (tests and demonstrations)\n"
      "  %s FILE   keep writing what the open windows show to FILE (tests)\n"
      "  -h, --help           print this and end\n"
      "  --version            print the version and end\n"
      "Qt's own options (such as -platform offscreen) are taken as well.\n"
      "Environment: MOLVANE_PORTS, colon-separated device paths to try besides the FTDI ports.\n",
      CMolvaneApp::kQuitAfterOption, CMolvaneApp::kDumpWindowOption, CMolvaneApp::kQuitAfterOption,
      CMolvaneApp::kDumpWindowOption);
}

}  // namespace

bool PrintProgramInfo(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintUsage();
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("molvane %s\n", MOLVANE_VERSION_TEXT);
      return true;
    }
  }
  return false;
}

}  // namespace molvane

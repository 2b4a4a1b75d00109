// The customer title screen from the command line, drawn exactly as the Testing page draws it.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_context.h"
#include "cli/transfer_progress.h"
#include "loader/loader_texts.h"
#include "title/customer_title.h"
#include "title/title_surface.h"
#include "title_qt/qt_title_renderer.h"

namespace molvanectl {
namespace {

// Only Qt's own failures reach the terminal; its notes about the desktop session it does not
// need (no runtime folder, no display) would read like errors of this command.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

// Qt's font engine needs an application object, though no window is ever shown. Windows always
// has its own platform (and the portable folder ships only that one); elsewhere there may be no
// display, so the offscreen platform.
#ifdef _WIN32
constexpr const char* kPlatform = "windows";
#else
constexpr const char* kPlatform = "offscreen";
#endif

void DrawWithQt(molvane::TitleSurface& surface, const std::string& name) {
  static int argc = 3;
  static char program[] = "molvanectl", option[] = "-platform";
  static std::string platform = kPlatform;
  static char* argv[] = {program, option, platform.data(), nullptr};
  qInstallMessageHandler(QuietQtMessages);
  QGuiApplication application(argc, argv);
  molvane::QtTitleRenderer renderer;
  molvane::DrawCustomerTitle(surface, renderer, name);
}

void TitleText(CliContext& context, const std::string& name, const std::string& out) {
  molvane::TitleSurface surface;
  DrawWithQt(surface, name);
  const std::string path =
      !out.empty() ? out : molvane::CustomerTitlePath(std::filesystem::current_path().string());
  if (!molvane::WriteTitleFile(path, surface)) {
    context.Fail("Error: cannot write the title picture " + path);
    return;
  }
  std::printf("%s\n", path.c_str());
  if (!out.empty() || !context.Connect()) return;
  context.fleet.BeforeTransfer(context);
  CatchInterrupt();
  if (!Check(context, molvane::StartTitleUpload(context.controller, path))) return;
  FollowTransfer(context, molvane::CartWork::Kind::Bitmap, {}, path);
}

const Registration registration([](CLI::App& app, CliContext& context) {
  static std::string name, out;
  auto* title = app.add_subcommand(
      "title-text", "Draw NAME as the customer title screen and load it into the display");
  title->footer(
      "The picture is saved as CustomerTitle.bmp in the current folder first. The cart's stored "
      "name is not changed; set-name does that.");
  title->add_option("NAME", name, "Text of the title, drawn from the left and cut at the right")
      ->required();
  title->add_option("--out", out, "Only write the picture to this BMP file; no cart is needed");
  title->callback([&context] { TitleText(context, name, out); });
});

}  // namespace
}  // namespace molvanectl

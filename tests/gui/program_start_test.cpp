#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <string>

#include "gui/qt_test_app.h"
#include "support/raw_pty.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

namespace {

// molvane is built beside molvanectl.
QString ProgramPath() { return QFileInfo(QString(MOLVANE_CTL_PATH)).dir().filePath("molvane"); }

struct ProgramRun {
  bool finished = false;
  int exitCode = -1;
  QString errors;
};

// Starts molvane in `folder` as on a machine without a display, the simulated port named in
// the environment, and waits (with a bound that only catches a hang) for it to end by itself.
ProgramRun RunProgram(const std::string& folder, const std::string& ports, int quitAfterMs) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  environment.insert("MOLVANE_PORTS", QString::fromStdString(ports));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(QString::fromStdString(folder));
  process.start(ProgramPath(), {"--quit-after", QString::number(quitAfterMs)});
  ProgramRun run;
  run.finished = process.waitForFinished(60000);
  if (!run.finished) process.kill();
  run.exitCode = process.exitCode();
  run.errors = QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}

TEST(ProgramStart, StartsWithoutDisplayAndQuitsWhenAsked) {
  gui_testing::TestApp();
  ASSERT_TRUE(QFileInfo::exists(ProgramPath())) << "build the molvane target first";
  testing_support::TempDir start;
  const ProgramRun run = RunProgram(start.Path(), "", 300);
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
}

TEST(ProgramStart, TrafficTraceStaysInTheStartFolder) {
  gui_testing::TestApp();
  ASSERT_TRUE(QFileInfo::exists(ProgramPath())) << "build the molvane target first";
  const QString besideProgram = QFileInfo(ProgramPath()).dir().filePath("comlog.txt");
  QFile::remove(besideProgram);
  // A bootloader's handshake: probed and traced, but not taken for a cart.
  testing_support::ScriptedCart cart([](const std::string&) { return std::string("U\r"); });
  testing_support::TempDir start;

  const ProgramRun run = RunProgram(start.Path(), cart.DevicePath(), 1500);

  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_NE(testing_support::ReadFile(start.File("comlog.txt")).find("status"), std::string::npos);
  EXPECT_FALSE(QFileInfo::exists(besideProgram));
}

// With a cart present the connection check reads its PIN list and shows a message box; asked
// to quit, the program closes that box too instead of waiting for an operator.
TEST(ProgramStart, QuitsEvenWithTheConnectionCheckMessageOpen) {
  gui_testing::TestApp();
  ASSERT_TRUE(QFileInfo::exists(ProgramPath())) << "build the molvane target first";
  testing_support::SimFixture cart;
  ASSERT_TRUE(cart.started);
  testing_support::TempDir start;

  const ProgramRun run = RunProgram(start.Path(), cart.link.DevicePath(), 4500);

  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_NE(testing_support::ReadFile(start.File("comlog.txt")).find("pin_list_dump"),
            std::string::npos);
}

// Asked for its usage or version, the program says it and ends at once: a window opened instead
// would stay until the bound.
TEST(ProgramStart, HelpAndVersionArePrintedWithoutAWindow) {
  gui_testing::TestApp();
  ASSERT_TRUE(QFileInfo::exists(ProgramPath())) << "build the molvane target first";
  const struct {
    const char* option;
    const char* printed;
  } cases[] = {{"--help", "usage: molvane [--quit-after MS] [--dump-window FILE]\n"},
               {"-h", "usage: molvane [--quit-after MS] [--dump-window FILE]\n"},
               {"--version", "molvane 6.52\n"}};
  for (const auto& c : cases) {
    QProcess process;
    process.start(ProgramPath(), {c.option});
    ASSERT_TRUE(process.waitForFinished(60000)) << c.option;
    EXPECT_EQ(process.exitCode(), 0) << c.option;
    const std::string out = process.readAllStandardOutput().toStdString();
    EXPECT_EQ(out.rfind(c.printed, 0), 0u) << c.option << ": " << out;
  }
}

}  // namespace

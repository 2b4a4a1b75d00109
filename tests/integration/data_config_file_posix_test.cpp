// The configuration file keeps everything it holds apart from the one entry written, also when
// the disk fills up in the middle of the write.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "app/cart_controller.h"
#include "support/temp_dir.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
using Setting = molvane::CartController::PathSetting;

namespace {

// Notes, a foreign section, CR LF ends, bytes outside ASCII and an unterminated last line.
const std::string kOriginal =
    "; written by hand \xE4\xF6\xFC\r\n"
    "<FIRMWARE>\r\n"
    "\t[MAINFIRMWAREFILE] \"old/main.hex\"\r\n"
    "\t[FRONTFIRMWAREFILE] \"front.hex\"\t; keep me\r\n"
    "</FIRMWARE>\r\n"
    "\r\n"
    "<OTHERTOOL>\r\n\t[MAINFIRMWAREFILE] \"not ours\"\r\n</OTHERTOOL>\r\n"
    "<BITMAPS>\r\n\t[BITMAPFILE] \"logo.bmp\"\r\n</BITMAPS>\r\n"
    "trailing words";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

// Files this process writes may grow to `bytes`; a write beyond fails with EFBIG instead of
// ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved);
    previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
  }

 private:
  rlimit saved{};
  void (*previousHandler)(int) = SIG_DFL;
};

}  // namespace

TEST(DataConfigFile, WritingOnePathKeepsEveryOtherByte) {
  TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  WriteFile(controller.ConfigPath(), kOriginal);
  EXPECT_TRUE(controller.SetPathSetting(Setting::MainFirmware, "new/main v2.hex"));
  EXPECT_EQ(ReadFile(controller.ConfigPath()),
            Replaced(kOriginal, "\"old/main.hex\"", "\"new/main v2.hex\"") + "\r\n");
}

TEST(DataConfigFile, TwoSettersInTurnKeepBothAndEverythingElse) {
  TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  WriteFile(controller.ConfigPath(), kOriginal);
  EXPECT_TRUE(controller.SetPathSetting(Setting::MainFirmware, "a.hex"));
  EXPECT_TRUE(controller.SetPathSetting(Setting::Bitmap, "b.bmp"));
  std::string expected = Replaced(kOriginal, "\"old/main.hex\"", "\"a.hex\"");
  expected = Replaced(expected, "\"logo.bmp\"", "\"b.bmp\"") + "\r\n";
  EXPECT_EQ(ReadFile(controller.ConfigPath()), expected);

  molvane::CartController reader(dir.Path(), dir.Path());
  reader.LoadConfig();
  EXPECT_EQ(reader.GetPathSetting(Setting::MainFirmware), "a.hex");
  EXPECT_EQ(reader.GetPathSetting(Setting::Bitmap), "b.bmp");
  EXPECT_EQ(reader.GetPathSetting(Setting::FrontFirmware), "front.hex");
}

TEST(DataConfigFile, DiskFullHalfWayLeavesTheOldFileWhole) {
  TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  WriteFile(controller.ConfigPath(), kOriginal);
  const std::string longPath(4000, 'p');  // the new file cannot fit under the limit
  {
    FileSizeLimit limit(1024);
    EXPECT_FALSE(controller.SetPathSetting(Setting::MainFirmware, longPath));
  }
  EXPECT_EQ(ReadFile(controller.ConfigPath()), kOriginal);
  EXPECT_EQ(controller.GetPathSetting(Setting::MainFirmware), longPath)
      << "the path is still used this session";
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "Molvane.cfg") << "a half-written file was left behind";
  }
  EXPECT_EQ(files, 1u);

  EXPECT_TRUE(controller.SetPathSetting(Setting::MainFirmware, "fits.hex"));  // room again
  EXPECT_EQ(ReadFile(controller.ConfigPath()),
            Replaced(kOriginal, "\"old/main.hex\"", "\"fits.hex\"") + "\r\n");
}

TEST(DataConfigFile, AFileThatCannotBeReadIsNeverReplaced) {
  TempDir dir;
  molvane::CartController controller(dir.Path(), dir.Path());
  const std::string path = controller.ConfigPath();
  // It exists but every open fails (ELOOP), even for root, who reads any mode.
  ASSERT_EQ(::symlink("Molvane.cfg", path.c_str()), 0);
  const molvane::Outcome saved = controller.SetPathSetting(Setting::MainFirmware, "a.hex");
  EXPECT_FALSE(saved);
  EXPECT_TRUE(std::filesystem::is_symlink(path)) << "the file was replaced";
  EXPECT_EQ(controller.GetPathSetting(Setting::MainFirmware), "a.hex");
  EXPECT_EQ(saved.text, "The settings file " + path +
                            " could not be read, so it was left as it is: the file you chose is "
                            "used only until the program ends.");
  EXPECT_FALSE(controller.SetPathSetting(Setting::Bitmap, "b.bmp"));
  EXPECT_TRUE(std::filesystem::is_symlink(path)) << "the file was replaced";

  ASSERT_TRUE(std::filesystem::remove(path));
  WriteFile(path, kOriginal);
  EXPECT_TRUE(controller.SetPathSetting(Setting::Bitmap, "c.bmp"));
  EXPECT_EQ(ReadFile(path), Replaced(kOriginal, "\"logo.bmp\"", "\"c.bmp\"") + "\r\n");
}

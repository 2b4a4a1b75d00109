#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/cart_controller.h"
#include "support/temp_dir.h"

using molvane::CartController;
using Setting = molvane::CartController::PathSetting;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {
// New configuration files take the platform's line ends: CR LF on Windows.
#if defined(_WIN32)
constexpr bool kFilesUseCrLf = true;
#else
constexpr bool kFilesUseCrLf = false;
#endif

std::string WithFileLineEnds(const std::string& text) {
  if (!kFilesUseCrLf) return text;
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}
}  // namespace

TEST(ControllerConfig, TheFileSitsInTheProgramFolder) {
  TempDir dir;
  CartController controller(dir.Path(), dir.Path());
  // Compared as paths: Windows joins the folder with a backslash.
  EXPECT_EQ(std::filesystem::path(controller.ConfigPath()).lexically_normal(),
            std::filesystem::path(dir.Path() + "/Molvane.cfg").lexically_normal());
}

TEST(ControllerConfig, LoadReadsEveryKeyAndMissingOnesGiveEmptyOrZero) {
  TempDir dir;
  WriteFile(dir.File("Molvane.cfg"),
            "<FIRMWARE>\n"
            "\t[MAINFIRMWAREFILE] \"/fw/main.hex\"\n"
            "\t[FRONTFIRMWAREFILE] \"/fw/front.hex\"\n"
            "\t[CHARGERFIRMWAREFILE] \"/fw/charger.hex\"\n"
            "\t[TRANSLATIONFIRMWAREFILE] \"/fw/translation.hex\"\n"
            "</FIRMWARE>\n"
            "<BITMAPS>\n"
            "\t[BITMAPFILE] \"/pics/bitmaps.txt\"\n"
            "\t[FACTORYTITLEFILE] \"/pics/title.txt\"\n"
            "</BITMAPS>\n"
            "<MISC>\n"
            "\t[TABS] \" -2x\"\n"
            "\t[HELPURL] \"http://help.example/\"\n"
            "</MISC>\n");
  CartController controller(dir.Path(), dir.Path());
  controller.LoadConfig();
  EXPECT_EQ(controller.GetPathSetting(Setting::MainFirmware), "/fw/main.hex");
  EXPECT_EQ(controller.GetPathSetting(Setting::FrontFirmware), "/fw/front.hex");
  EXPECT_EQ(controller.GetPathSetting(Setting::ChargerFirmware), "/fw/charger.hex");
  EXPECT_EQ(controller.GetPathSetting(Setting::TranslationFirmware), "/fw/translation.hex");
  EXPECT_EQ(controller.GetPathSetting(Setting::Bitmap), "/pics/bitmaps.txt");
  EXPECT_EQ(controller.GetPathSetting(Setting::FactoryTitle), "/pics/title.txt");
  // Settings the file keeps but nothing uses stay in it when a path is written.
  ASSERT_TRUE(controller.SetPathSetting(Setting::Bitmap, "/pics/other.txt"));
  const std::string kept = ReadFile(dir.File("Molvane.cfg"));
  EXPECT_NE(kept.find("[TABS] \" -2x\""), std::string::npos) << kept;
  EXPECT_NE(kept.find("[HELPURL] \"http://help.example/\""), std::string::npos) << kept;

  TempDir empty;
  CartController fresh(empty.Path(), empty.Path());
  fresh.LoadConfig();
  EXPECT_EQ(fresh.GetPathSetting(Setting::MainFirmware), "");
}

TEST(ControllerConfig, PathSettersWriteOneKeyEachAndTheFileReadsBack) {
  TempDir dir;
  {
    CartController controller(dir.Path(), dir.Path());
    EXPECT_TRUE(controller.SetPathSetting(Setting::MainFirmware, "/fw/main.hex"));
    EXPECT_EQ(ReadFile(controller.ConfigPath()),
              WithFileLineEnds("<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/fw/main.hex\"\n</FIRMWARE>\n"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::FrontFirmware, "/fw/front.hex"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::ChargerFirmware, "/fw/charger.hex"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::TranslationFirmware, "/fw/translation.hex"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::Bitmap, "/pics/bitmaps.txt"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::FactoryTitle, "/pics/title.txt"));
    EXPECT_TRUE(controller.SetPathSetting(Setting::MainFirmware, "/fw/main2.hex"));
  }
  CartController reader(dir.Path(), dir.Path());
  reader.LoadConfig();
  EXPECT_EQ(reader.GetPathSetting(Setting::MainFirmware), "/fw/main2.hex");
  EXPECT_EQ(reader.GetPathSetting(Setting::FrontFirmware), "/fw/front.hex");
  EXPECT_EQ(reader.GetPathSetting(Setting::ChargerFirmware), "/fw/charger.hex");
  EXPECT_EQ(reader.GetPathSetting(Setting::TranslationFirmware), "/fw/translation.hex");
  EXPECT_EQ(reader.GetPathSetting(Setting::Bitmap), "/pics/bitmaps.txt");
  EXPECT_EQ(reader.GetPathSetting(Setting::FactoryTitle), "/pics/title.txt");
  const std::string text = ReadFile(reader.ConfigPath());
  EXPECT_LT(text.find("</FIRMWARE>"), text.find("<BITMAPS>"));
}

TEST(ControllerConfig, ChangesMadeByOthersSurviveASetter) {
  TempDir dir;
  CartController controller(dir.Path(), dir.Path());
  EXPECT_TRUE(controller.SetPathSetting(Setting::Bitmap, "/pics/a.txt"));
  const std::string edited =
      ReadFile(controller.ConfigPath()) + "<MISC>\n\t[TABS] \"5\"\n</MISC>\n";
  WriteFile(controller.ConfigPath(), edited);
  EXPECT_TRUE(controller.SetPathSetting(Setting::FactoryTitle, "/pics/t.txt"));
  const std::string text = ReadFile(controller.ConfigPath());
  EXPECT_NE(text.find(WithFileLineEnds("<MISC>\n\t[TABS] \"5\"\n</MISC>\n")), std::string::npos)
      << text;
  EXPECT_NE(text.find("[FACTORYTITLEFILE] \"/pics/t.txt\""), std::string::npos) << text;
}

TEST(ControllerConfig, AnUnwritableFolderKeepsThePathInMemory) {
  TempDir dir;
  CartController controller(dir.Path(), dir.File("no-such-folder"));
  const molvane::Outcome saved = controller.SetPathSetting(Setting::MainFirmware, "/fw/main.hex");
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.text, "The settings file " + controller.ConfigPath() +
                            " could not be written: the file you chose is used only until the "
                            "program ends.");
  EXPECT_EQ(controller.GetPathSetting(Setting::MainFirmware), "/fw/main.hex");
  controller.LoadConfig();
  EXPECT_EQ(controller.GetPathSetting(Setting::MainFirmware), "");
}

#include "app/config_text.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "support/temp_dir.h"

using molvane::ConfigText;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const std::string kSample =
    "; notes outside the tags stay\n"
    "<FIRMWARE>\n"
    "\t[MAINFIRMWAREFILE] \"/carts/main.hex\"\n"
    "\t[FRONTFIRMWAREFILE] \"/carts/front.hex\"\n"
    "</FIRMWARE>\n"
    "\n"
    "<MISC>\n"
    "\t[TABS] \"3\"\n"
    "</MISC>\n";

ConfigText FromText(const std::string& text) {
  ConfigText config;
  config.SetText(text);
  return config;
}

}  // namespace

TEST(ConfigTextRead, FindsValuesWithNamesInAnyCaseButOnlyCapitalTagsInTheText) {
  const ConfigText config = FromText(kSample);
  EXPECT_EQ(config.GetValue("Firmware", "MainFirmwareFile"), "/carts/main.hex");
  EXPECT_EQ(config.GetValue("firmware", "frontfirmwarefile"), "/carts/front.hex");
  EXPECT_EQ(config.GetValue("Misc", "Tabs"), "3");
  EXPECT_EQ(config.GetValue("Misc", "HelpURL"), "");
  EXPECT_EQ(config.GetValue("Bitmaps", "BitmapFile"), "");

  const ConfigText handWritten =
      FromText("<firmware>\n\t[mainfirmwarefile] \"/x.hex\"\n</firmware>\n");
  EXPECT_EQ(handWritten.GetValue("Firmware", "MainFirmwareFile"), "");
}

TEST(ConfigTextRead, MalformedEntriesReadAsEmpty) {
  // Shorter than twenty characters: nothing is looked at.
  EXPECT_EQ(FromText("<A>\n\t[K] \"v\"\n</A>\n").GetValue("A", "K"), "");
  const std::string body = "\t[MAINFIRMWAREFILE] no quotes here\n\t[FRONTFIRMWAREFILE] \"open\n";
  const ConfigText config = FromText("<FIRMWARE>\n" + body + "\"\n</FIRMWARE>\n");
  EXPECT_EQ(config.GetValue("Firmware", "MainFirmwareFile"), "");
  EXPECT_EQ(config.GetValue("Firmware", "FrontFirmwareFile"), "");
  // Adjacent quotes give an empty value, a quote inside a path cuts it.
  const ConfigText cut =
      FromText("<BITMAPS>\n\t[BITMAPFILE] \"\"\n\t[FACTORYTITLEFILE] \"/a\"b\"\n</BITMAPS>\n");
  EXPECT_EQ(cut.GetValue("Bitmaps", "BitmapFile"), "");
  EXPECT_EQ(cut.GetValue("Bitmaps", "FactoryTitleFile"), "/a");
}

TEST(ConfigTextRead, SectionsAreBoundedByTheirTags) {
  const std::string text =
      "<MISC>\n\t[TABS] \"1\"\n</MISC>\n"
      "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/m.hex\"\n</FIRMWARE>\n"
      "<BITMAPS>\n\t[TABS] \"9\"\n</BITMAPS>\n"
      "<OPEN>\n\t[TABS] \"7\"\n";
  const ConfigText config = FromText(text);
  EXPECT_EQ(config.GetValue("Misc", "Tabs"), "1");
  EXPECT_EQ(config.GetValue("Bitmaps", "Tabs"), "9");
  EXPECT_EQ(config.GetValue("Firmware", "Tabs"), "") << "the key of a later section";
  EXPECT_EQ(config.GetValue("Open", "Tabs"), "") << "a section without its end tag";
}

TEST(ConfigTextWrite, AnEmptyTextGetsTheSectionWithTheEntry) {
  ConfigText config;
  EXPECT_TRUE(config.SetValue("Firmware", "MainFirmwareFile", "/carts/main.hex"));
  EXPECT_EQ(config.Text(), "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/carts/main.hex\"\n</FIRMWARE>\n");
  EXPECT_EQ(config.GetValue("Firmware", "MainFirmwareFile"), "/carts/main.hex");
}

TEST(ConfigTextWrite, NewKeysEndTheirSectionAndNewSectionsEndTheText) {
  ConfigText config = FromText(kSample);
  EXPECT_TRUE(config.SetValue("Firmware", "ChargerFirmwareFile", "/carts/charger.hex"));
  EXPECT_TRUE(config.SetValue("Bitmaps", "BitmapFile", "/pics/b.txt"));
  EXPECT_EQ(config.Text(),
            "; notes outside the tags stay\n"
            "<FIRMWARE>\n"
            "\t[MAINFIRMWAREFILE] \"/carts/main.hex\"\n"
            "\t[FRONTFIRMWAREFILE] \"/carts/front.hex\"\n"
            "\t[CHARGERFIRMWAREFILE] \"/carts/charger.hex\"\n"
            "</FIRMWARE>\n"
            "\n"
            "<MISC>\n"
            "\t[TABS] \"3\"\n"
            "</MISC>\n"
            "<BITMAPS>\n"
            "\t[BITMAPFILE] \"/pics/b.txt\"\n"
            "</BITMAPS>\n");
}

TEST(ConfigTextWrite, ReplacingAValueRewritesEverythingBehindTheKeyOnItsLine) {
  ConfigText config = FromText(
      "<FIRMWARE>\n\t[MAINFIRMWAREFILE]junk \"old\" more \"x\"\n\t[FRONTFIRMWAREFILE] \"f\"\n"
      "</FIRMWARE>\n");
  EXPECT_TRUE(config.SetValue("Firmware", "MainFirmwareFile", "/new.hex"));
  EXPECT_TRUE(config.SetValue("Firmware", "MainFirmwareFile", "/newer.hex"));
  EXPECT_EQ(config.Text(),
            "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/newer.hex\"\n\t[FRONTFIRMWAREFILE] \"f\"\n"
            "</FIRMWARE>\n");
}

TEST(ConfigTextWrite, RefusedChangesLeaveTheTextAlone) {
  const std::string laterKey =
      "<FIRMWARE>\n\t[MAINFIRMWAREFILE] \"/m\"\n</FIRMWARE>\n<MISC>\n\t[BITMAPFILE] "
      "\"/b\"\n</MISC>\n";
  ConfigText config = FromText(laterKey);
  EXPECT_FALSE(config.SetValue("Firmware", "BitmapFile", "/other"));
  EXPECT_EQ(config.Text(), laterKey);

  const std::string openSection = "<BITMAPS>\n\t[BITMAPFILE] \"/b\"\n";
  config.SetText(openSection);
  EXPECT_FALSE(config.SetValue("Bitmaps", "FactoryTitleFile", "/t"));
  EXPECT_EQ(config.Text(), openSection);

  const std::string endOnly = "\t[BITMAPFILE] \"/b\"\n</BITMAPS>\n";
  config.SetText(endOnly);
  EXPECT_FALSE(config.SetValue("Bitmaps", "BitmapFile", "/t"));
  EXPECT_EQ(config.Text(), endOnly);
}

TEST(ConfigTextWrite, OddlyShapedSectionsStayWellFormed) {
  // The end tag on the same line as the start tag, or as the entry, is kept in place.
  ConfigText config = FromText("<BITMAPS></BITMAPS>\n");
  EXPECT_TRUE(config.SetValue("Bitmaps", "BitmapFile", "/b.txt"));
  EXPECT_EQ(config.GetValue("Bitmaps", "BitmapFile"), "/b.txt");
  EXPECT_NE(config.Text().find("</BITMAPS>"), std::string::npos);

  config.SetText("<MISC>\t[TABS] \"1\"</MISC>\n<FIRMWARE>\n</FIRMWARE>\n");
  EXPECT_TRUE(config.SetValue("Misc", "Tabs", "2"));
  EXPECT_EQ(config.Text(), "<MISC>\t[TABS] \"2\"</MISC>\n<FIRMWARE>\n</FIRMWARE>\n");

  // A stray end tag in front of the section does not pull the new entry out of it.
  config.SetText("</MISC>\n<MISC>\n\t[TABS] \"1\"\n</MISC>\n");
  EXPECT_TRUE(config.SetValue("Misc", "HelpURL", "http://help"));
  EXPECT_EQ(config.Text(),
            "</MISC>\n<MISC>\n\t[TABS] \"1\"\n\t[HELPURL] \"http://help\"\n</MISC>\n");
}

class ConfigTextFile : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.File("Molvane.cfg");
};

TEST_F(ConfigTextFile, AMissingFileLoadsAsEmpty) {
  ConfigText config;
  config.SetText(kSample);
  EXPECT_FALSE(config.Load(path));
  EXPECT_EQ(config.Text(), "");
  EXPECT_EQ(config.GetValue("Firmware", "MainFirmwareFile"), "");
}

TEST_F(ConfigTextFile, CrLfFilesAreReadAndWrittenBackAsTheyWere) {
  std::string crlf;
  for (char c : kSample) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  WriteFile(path, crlf);
  ConfigText config;
  ASSERT_TRUE(config.Load(path));
  EXPECT_EQ(config.GetValue("Firmware", "MainFirmwareFile"), "/carts/main.hex");
  EXPECT_TRUE(config.SetValue("Misc", "Tabs", "4"));
  ASSERT_TRUE(config.Save(path));
  std::string expected = crlf;
  expected.replace(expected.find("\"3\""), 3, "\"4\"");
  EXPECT_EQ(ReadFile(path), expected);

  WriteFile(path, kSample);
  ASSERT_TRUE(config.Load(path));
  ASSERT_TRUE(config.Save(path));
  EXPECT_EQ(ReadFile(path), kSample);
}

TEST_F(ConfigTextFile, AnUnterminatedLastLineSurvivesARewrite) {
  WriteFile(path, kSample + "; last note");
  ConfigText config;
  ASSERT_TRUE(config.Load(path));
  config.SetValue("Bitmaps", "BitmapFile", "/b");
  ASSERT_TRUE(config.Save(path));
  const std::string written = ReadFile(path);
  EXPECT_NE(written.find("; last note\n<BITMAPS>\n"), std::string::npos) << written;
}

// The file size limit that stands in for a full disk exists on POSIX systems only.
#if !defined(_WIN32)
TEST_F(ConfigTextFile, AFailedSaveKeepsTheOldFile) {
  WriteFile(path, kSample);
  ConfigText config;
  config.SetText(kSample + std::string(64 * 1024, ';') + "\n");

  // Let the write run into a file size limit half-way, as a full disk would.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = config.Save(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(ReadFile(path), kSample);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}
#endif

TEST_F(ConfigTextFile, SavingIntoAMissingFolderFails) {
  ConfigText config;
  config.SetValue("Firmware", "MainFirmwareFile", "/m.hex");
  EXPECT_FALSE(config.Save(dir.File("absent/Molvane.cfg")));
}

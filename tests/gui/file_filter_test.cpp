#include "gui/file_filter.h"

#include <gtest/gtest.h>

using molvane::FileType;
using molvane::QtFileFilter;
using molvane::SuffixForType;

TEST(FileFilter, LabelThatShowsItsPatternIsNotDoubled) {
  EXPECT_EQ(QtFileFilter({{"Text (*.txt)", "*.txt"}}), "Text (*.txt)");
}

TEST(FileFilter, SeveralTypesAreJoinedAndEveryFileMeansEveryFile) {
  EXPECT_EQ(QtFileFilter({{"Excel Files", "*.xls"},
                          {"Text Files (*.txt)", "*.txt"},
                          {"Both", "*.xls;*.txt"},
                          {"No pattern", ""},
                          {"All Files (*.*)", "*.*"}}),
            "Excel Files (*.xls);;Text Files (*.txt);;Both (*.xls *.txt);;All Files (*)");
}

TEST(FileFilter, SuffixComesFromOneConcretePattern) {
  EXPECT_EQ(SuffixForType({"Worksheet Files (*.xls)", "*.xls"}), "xls");
  EXPECT_EQ(SuffixForType({"All Files (*.*)", "*.*"}), "");
  EXPECT_EQ(SuffixForType({"Controller", "con*.hex"}), "");
  EXPECT_EQ(SuffixForType({"Both", "*.xls;*.txt"}), "");
}

TEST(FileFilter, LabelMadeOnlyOfItsPatternKeepsThePatternAndBlankPatternsAreLeftOut) {
  EXPECT_EQ(QtFileFilter({{"(*.cfg)", "*.cfg"}}), "(*.cfg)");
  EXPECT_EQ(QtFileFilter({{"Nothing", " "}, {"Hex", "*.hex"}}), "Hex (*.hex)");
  EXPECT_EQ(QtFileFilter({}), "");
}

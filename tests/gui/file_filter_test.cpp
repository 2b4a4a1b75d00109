#include "gui/file_filter.h"

#include <gtest/gtest.h>

using molvane::QtFileFilter;

TEST(FileFilter, LabelThatShowsItsPatternIsNotDoubled) {
  EXPECT_EQ(QtFileFilter("Text (*.txt)|*.txt||"), "Text (*.txt)");
}

TEST(FileFilter, SeveralTypesAreJoinedAndPatternListsUseBlanks) {
  EXPECT_EQ(QtFileFilter("Excel Files|*.xls|Text Files (*.txt)|*.txt|All|*.xls;*.txt||"),
            "Excel Files (*.xls);;Text Files (*.txt);;All (*.xls *.txt)");
}

TEST(FileFilter, ListWithoutTerminatorStillGivesEveryPair) {
  EXPECT_EQ(QtFileFilter("Bitmap|*.bmp|Hex|*.hex"), "Bitmap (*.bmp);;Hex (*.hex)");
}

TEST(FileFilter, EverythingAfterTheTerminatorIsIgnored) {
  EXPECT_EQ(QtFileFilter("Hex (*.hex)|*.hex||Stray|*.x|"), "Hex (*.hex)");
}

TEST(FileFilter, PairsWithoutPatternsAreLeftOut) {
  EXPECT_EQ(QtFileFilter("Nothing| |Hex|*.hex|Dangling"), "Hex (*.hex)");
  EXPECT_EQ(QtFileFilter(""), "");
  EXPECT_EQ(QtFileFilter("||"), "");
}

TEST(FileFilter, LabelMadeOnlyOfItsPatternKeepsThePattern) {
  EXPECT_EQ(QtFileFilter("(*.cfg)|*.cfg||"), "(*.cfg)");
}

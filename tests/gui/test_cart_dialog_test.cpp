// The customer title drawn by Qt's font engine, and the Testing page's widgets driven offscreen.
#include "gui/test_cart_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>

#include "gui/qt_test_app.h"
#include "gui/title_preview.h"
#include "support/controller_settings.h"
#include "support/recording_ui.h"
#include "support/sim_fixture.h"
#include "title/customer_title.h"
#include "title_qt/qt_title_renderer.h"

namespace {

using molvane::TitleSurface;

TitleSurface Drawn(const std::string& name) {
  TitleSurface surface;
  molvane::QtTitleRenderer renderer;
  molvane::DrawCustomerTitle(surface, renderer, name);
  return surface;
}

struct Ink {
  int top = TitleSurface::kHeight, bottom = -1, right = -1;
  bool onlyBlackAndWhite = true;
};

Ink InkOf(const TitleSurface& surface) {
  Ink ink;
  for (int y = 0; y < TitleSurface::kHeight; ++y) {
    for (int x = 0; x < TitleSurface::kWidth; ++x) {
      const molvane::Rgb pixel = surface.At(x, y);
      if (pixel != molvane::kBlack && pixel != molvane::kWhite) ink.onlyBlackAndWhite = false;
      if (pixel != molvane::kBlack) continue;
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ink.right = std::max(ink.right, x);
    }
  }
  return ink;
}

TEST(TitleRendering, NameSitsInItsCellInBlackAndWhiteAndIsCutAtTheRightEdge) {
  gui_testing::TestApp();
  // The face the title is drawn in really is installed: Tahoma, or the fallback that the setup
  // script installs (without it every machine would pick its own substitute).
  const QFont font = molvane::TitleQFont(molvane::TitleFont{});
  EXPECT_TRUE(font.family() == "Tahoma" || font.family() == molvane::kTitleFallbackFace);
  EXPECT_EQ(QFontInfo(font).family(), font.family());
  EXPECT_TRUE(QFontInfo(font).bold());

  EXPECT_EQ(InkOf(Drawn("")).bottom, -1) << "an empty name leaves the title white";

  const Ink name = InkOf(Drawn("Ward 7 Jgy"));
  EXPECT_TRUE(name.onlyBlackAndWhite);
  EXPECT_GE(name.top, molvane::kTitleTextTop);
  EXPECT_LE(name.top, molvane::kTitleTextTop + 4) << "capitals start near the cell's top";
  EXPECT_LT(name.bottom, molvane::kTitleTextTop + 14) << "descenders stay inside the cell";
  EXPECT_GE(name.bottom, molvane::kTitleTextTop + 11);

  const TitleSurface long_ = Drawn("Oncology Ward North Wing");
  EXPECT_EQ(InkOf(long_).right, TitleSurface::kWidth - 1);
  for (int row = 0; row < TitleSurface::kHeight; ++row) {
    const int padding = row * TitleSurface::kRowBytes + TitleSurface::kWidth * 3;
    EXPECT_EQ(long_.Pixels()[padding] | long_.Pixels()[padding + 1], 0) << "row " << row;
  }
}

TEST(TestCartDialog, ButtonsBoxesAndTheTitleThatSaveWrites) {
  gui_testing::TestApp();
  testing_support::SimFixture fixture;
  testing_support::RecordingUi ui;
  molvane::TestCartDialog page(fixture.controller, ui);
  gui_testing::OnCart(page, [&] { page.Model().Start(); });
  page.show();
  auto* name = page.findChild<QLineEdit*>("cartName");
  auto* preview = page.findChild<molvane::TitlePreview*>("titlePreview");
  auto* save = page.findChild<QPushButton*>("saveButton");
  ASSERT_TRUE(name && preview && save);
  EXPECT_EQ(name->accessibleName(), "Cart Name");
  EXPECT_EQ(page.findChild<QLineEdit*>("cycleCount")->accessibleName(), "Lock Cycle Counter");

  // Typing repaints the preview; Save writes exactly what it shows and loads it.
  ASSERT_TRUE(fixture.Connect());
  testing_support::SetTiming(fixture.controller, &molvane::Timing::bitmapSettleMs, 0);
  const QImage blank = preview->grab().toImage();
  gui_testing::TypeText(name, "Ward 7");
  gui_testing::Settle(fixture.controller.Worker());
  gui_testing::Wait(50);
  const QImage typed = preview->grab().toImage().copy(1, 1, 82, 32);
  EXPECT_NE(typed, blank.copy(1, 1, 82, 32));
  save->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_FALSE(save->isEnabled());
  const QImage saved(QString::fromStdString(fixture.dir.File("CustomerTitle.bmp")));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            typed.convertToFormat(QImage::Format_RGB32));
  fixture.controller.WaitForTransfer();
  EXPECT_TRUE(fixture.controller.TransferOutcome()) << fixture.controller.TransferOutcome().text;

  // The status boxes show the cart's state: a click reads it again and does not tick a box.
  ASSERT_TRUE(fixture.Connect());
  page.findChild<QPushButton*>("unlockButton")->click();
  gui_testing::Settle(fixture.controller.Worker());
  QCheckBox* drawer = nullptr;
  for (QCheckBox* box : page.findChildren<QCheckBox*>()) {
    if (box->text() == "Drawer Unlocked") drawer = box;
  }
  ASSERT_NE(drawer, nullptr);
  drawer->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_TRUE(drawer->isChecked());
  drawer->click();
  gui_testing::Settle(fixture.controller.Worker());
  EXPECT_TRUE(drawer->isChecked()) << "still unlocked on the cart";
  EXPECT_EQ(page.findChild<QLineEdit*>("statusText")->text(), "80");
  gui_testing::OnCart(page, [&] { page.Model().Poll(); });
  EXPECT_TRUE(save->isEnabled());
}

}  // namespace

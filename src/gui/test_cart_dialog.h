#pragma once
#include "gui/page_view.h"
#include "pages/testing_page.h"
#include "title_qt/qt_title_renderer.h"

class QPushButton;

namespace molvane {

class TitlePreview;

class TestCartDialog : public PageView {
  Q_OBJECT

 public:
  TestCartDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 protected:
  void WriteState() override;

 private:
  QWidget* BuildKeyboard();
  QWidget* BuildLight();
  QWidget* BuildStatus();
  QWidget* BuildCycleCounter();
  QWidget* BuildTitleScreen();

  QtTitleRenderer renderer;  // outlives the model that draws with it, on the cart thread
  TestingPage model;
  // The preview's own drawing, on the window's thread.
  QtTitleRenderer previewRenderer;
  TitleSurface shown;
  TitlePreview* preview = nullptr;
  QPushButton* saveButton = nullptr;
};

}  // namespace molvane

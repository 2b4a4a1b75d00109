#pragma once
#include <QWidget>

namespace molvane {

// The front of a cart with one drawer layout: two columns of four drawer places holding single,
// double and full-height drawers, drawn to the widget's size. A click on it is passed on, so the
// picture selects its layout as its radio button does.
class DrawerLayoutPicture : public QWidget {
  Q_OBJECT

 public:
  explicit DrawerLayoutPicture(int code, QWidget* parent = nullptr);
  void SetSelected(bool selected);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int code;
  bool selected = false;
};

}  // namespace molvane

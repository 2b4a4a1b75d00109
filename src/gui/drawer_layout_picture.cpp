#include "gui/drawer_layout_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "cart/drawer_layouts.h"

namespace molvane {
namespace {

// The cabinet's proportions: a little taller than wide, as the carts are.
constexpr qreal kAspect = 0.8;  // width / height
constexpr qreal kUnits = 40;    // the cabinet's width in drawing units

void DrawColumn(QPainter& painter, const QRectF& column, const std::vector<int>& drawers,
                qreal unit) {
  const qreal place = column.height() / kDrawerPlaces;
  qreal top = column.top();
  for (const int height : drawers) {
    const QRectF drawer(column.left(), top, column.width(), height * place);
    painter.drawRect(drawer.adjusted(unit / 2, unit / 2, -unit / 2, -unit / 2));
    // The handle near the drawer's top edge, where the operator pulls.
    const qreal handleY = drawer.top() + std::min(place / 2, 4 * unit);
    painter.drawLine(QPointF(drawer.center().x() - 4 * unit, handleY),
                     QPointF(drawer.center().x() + 4 * unit, handleY));
    top += height * place;
  }
}

}  // namespace

DrawerLayoutPicture::DrawerLayoutPicture(int code, QWidget* parent) : QWidget(parent), code(code) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DrawerLayoutPicture::SetSelected(bool on) {
  if (selected == on) return;
  selected = on;
  update();
}

QSize DrawerLayoutPicture::sizeHint() const { return {56, 70}; }
QSize DrawerLayoutPicture::minimumSizeHint() const { return {32, 40}; }

void DrawerLayoutPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
  const qreal width = std::min(area.width(), area.height() * kAspect);
  // Right under its radio button, however much room the page gives.
  const QRectF cabinet(area.center().x() - width / 2, area.top(), width, width / kAspect);
  const qreal unit = width / kUnits;

  const QPalette& colours = palette();
  painter.setPen(QPen(selected ? colours.color(QPalette::Highlight) : QColor(60, 60, 60),
                      selected ? 3 * unit : 1.5 * unit));
  painter.setBrush(QColor(170, 180, 190));
  painter.drawRoundedRect(cabinet, 2 * unit, 2 * unit);

  painter.setPen(QPen(QColor(40, 40, 40), unit));
  painter.setBrush(QColor(235, 238, 242));
  const QRectF inside = cabinet.adjusted(2 * unit, 2 * unit, -2 * unit, -2 * unit);
  const qreal half = inside.width() / 2;
  DrawColumn(painter, QRectF(inside.left(), inside.top(), half, inside.height()),
             DrawerColumn(code, true), unit);
  DrawColumn(painter, QRectF(inside.left() + half, inside.top(), half, inside.height()),
             DrawerColumn(code, false), unit);
}

void DrawerLayoutPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QWidget::mousePressEvent(event);
}

}  // namespace molvane

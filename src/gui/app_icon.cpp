#include "gui/app_icon.h"

#include <QPainter>

namespace molvane {
namespace {

constexpr int kDrawers = 3;

void DrawCart(QPainter& painter, qreal size) {
  const qreal unit = size / 32.0;
  const QRectF body(5 * unit, 3 * unit, 22 * unit, 22 * unit);
  painter.setPen(QPen(QColor(30, 60, 90), unit));
  painter.setBrush(QColor(70, 130, 180));
  painter.drawRoundedRect(body, 2 * unit, 2 * unit);

  painter.setBrush(QColor(220, 230, 240));
  const qreal drawerHeight = (body.height() - 4 * unit) / kDrawers;
  for (int i = 0; i < kDrawers; ++i) {
    const QRectF drawer(body.left() + 2 * unit, body.top() + 2 * unit + i * drawerHeight,
                        body.width() - 4 * unit, drawerHeight - unit);
    painter.drawRect(drawer);
    painter.drawLine(QPointF(drawer.center().x() - 2 * unit, drawer.center().y()),
                     QPointF(drawer.center().x() + 2 * unit, drawer.center().y()));
  }

  painter.setBrush(QColor(40, 40, 40));
  painter.drawEllipse(QPointF(9 * unit, 28 * unit), 2.5 * unit, 2.5 * unit);
  painter.drawEllipse(QPointF(23 * unit, 28 * unit), 2.5 * unit, 2.5 * unit);
}

}  // namespace

QImage MolvaneImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawCart(painter, size);
  return image;
}

QPixmap MolvanePixmap(int size) { return QPixmap::fromImage(MolvaneImage(size)); }

QIcon MolvaneIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(MolvanePixmap(size));
  return icon;
}

}  // namespace molvane

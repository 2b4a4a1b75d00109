#include "gui/title_preview.h"

#include <QPainter>

#include "title/title_surface.h"
#include "title_qt/qt_title_renderer.h"

namespace molvane {
namespace {
constexpr int kFrame = 1;
}

TitlePreview::TitlePreview(Draw draw, QWidget* parent) : QWidget(parent), draw(std::move(draw)) {
  setFixedSize(TitleSurface::kWidth + 2 * kFrame, TitleSurface::kHeight + 2 * kFrame);
}

void TitlePreview::paintEvent(QPaintEvent*) {
  const QImage image = TitleImage(draw());
  QPainter painter(this);
  painter.drawImage(kFrame, kFrame, image);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace molvane

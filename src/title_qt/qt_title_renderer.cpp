#include "title_qt/qt_title_renderer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include "title/title_surface.h"

namespace molvane {
namespace {

void CopyInto(TitleSurface& surface, const QImage& image) {
  for (int y = 0; y < TitleSurface::kHeight; ++y) {
    for (int x = 0; x < TitleSurface::kWidth; ++x) {
      const QRgb pixel = image.pixel(x, y);
      surface.Set(
          x, y,
          Rgb{static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
              static_cast<std::uint8_t>(qBlue(pixel))});
    }
  }
}

}  // namespace

QFont TitleQFont(const TitleFont& request) {
  const QString wanted = QString::fromStdString(request.face);
  QFont font(QFontDatabase::hasFamily(wanted) ? wanted : QString(kTitleFallbackFace));
  font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
  font.setWeight(request.bold ? QFont::Bold : QFont::Normal);
  font.setKerning(false);
  // A pixel size sets the em square; the cell (ascent plus descent) is taller by the face's
  // leading, so step down until the cell fits.
  for (int size = request.cellHeight; size > 1; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= request.cellHeight) break;
  }
  return font;
}

QImage TitleImage(const TitleSurface& surface) {
  QImage image(TitleSurface::kWidth, TitleSurface::kHeight, QImage::Format_RGB32);
  for (int y = 0; y < TitleSurface::kHeight; ++y) {
    for (int x = 0; x < TitleSurface::kWidth; ++x) {
      const Rgb colour = surface.At(x, y);
      image.setPixel(x, y, qRgb(colour.red, colour.green, colour.blue));
    }
  }
  return image;
}

void QtTitleRenderer::DrawText(TitleSurface& surface, int x, int y, const std::string& text,
                               const TitleFont& font) {
  QImage image = TitleImage(surface);
  {
    QPainter painter(&image);
    const QFont qfont = TitleQFont(font);
    painter.setFont(qfont);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.drawText(x, y + QFontMetrics(qfont).ascent(), QString::fromStdString(text));
  }
  CopyInto(surface, image);
}

}  // namespace molvane

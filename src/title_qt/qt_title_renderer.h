#pragma once
#include <QFont>
#include <QImage>

#include "title/title_renderer.h"

namespace molvane {

class TitleSurface;

// The title's text drawn with Qt's own font engine into the core's surface. Needs a
// QGuiApplication (the offscreen platform will do).
class QtTitleRenderer : public TitleRenderer {
 public:
  void DrawText(TitleSurface& surface, int x, int y, const std::string& text,
                const TitleFont& font) override;
};

// When the requested face is not installed, this one is, on every machine that ran the setup
// script (Debian's fonts-dejavu-core), so the title looks the same on all of them.
inline constexpr const char* kTitleFallbackFace = "DejaVu Sans";

// The font the title is drawn in: the requested face or the fallback, bold, without smoothed
// edges, at the largest pixel size whose character cell fits the requested height.
QFont TitleQFont(const TitleFont& request);

// The surface as an image, top row first: what the preview shows.
QImage TitleImage(const TitleSurface& surface);

}  // namespace molvane

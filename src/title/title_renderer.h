#pragma once
#include <string>

namespace molvane {

class TitleSurface;

// The font a title is written in, as the page asks for it: the face it prefers, the height of a
// character cell in pixels (ascent plus descent, not the em size), bold or not, and always a
// proportional sans-serif.
struct TitleFont {
  std::string face = "Tahoma";
  int cellHeight = 14;
  bool bold = true;
};

// The font rasteriser the title is drawn with. The core owns the pixels; the window system's
// implementation only writes text into them.
class TitleRenderer {
 public:
  virtual ~TitleRenderer() = default;
  // Writes the UTF-8 text in black on white, its first character cell's top-left corner at
  // (x, y) from the surface's top-left corner, in black and white only (no grey edges), so what
  // the display shows is what the preview shows. What falls outside the surface is cut.
  virtual void DrawText(TitleSurface& surface, int x, int y, const std::string& text,
                        const TitleFont& font) = 0;
};

}  // namespace molvane

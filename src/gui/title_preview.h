#pragma once
#include <QWidget>
#include <functional>

namespace molvane {

class TitleSurface;

// The customer title at its real size inside a black frame. Each paint asks the model to draw
// the title and shows the very surface that Save writes.
class TitlePreview : public QWidget {
 public:
  using Draw = std::function<const TitleSurface&()>;
  TitlePreview(Draw draw, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Draw draw;
};

}  // namespace molvane

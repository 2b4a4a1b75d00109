#pragma once
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace molvane {

// The program's picture, a cart with drawers, drawn rather than loaded so that the program
// needs no resource files. The image needs no window system, so the Linux package's icon files
// are drawn from it at build time.
QImage MolvaneImage(int size);
QPixmap MolvanePixmap(int size);
QIcon MolvaneIcon();

}  // namespace molvane

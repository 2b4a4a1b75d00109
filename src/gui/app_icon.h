#pragma once
#include <QIcon>
#include <QPixmap>

namespace molvane {

// The program's picture, a cart with drawers, drawn rather than loaded so that the program
// needs no resource files.
QPixmap MolvanePixmap(int size);
QIcon MolvaneIcon();

}  // namespace molvane

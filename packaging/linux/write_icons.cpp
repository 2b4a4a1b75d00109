// Draws the program's picture, the same one the window carries, into the icon theme's layout:
// OUT/NxN/apps/molvane.png for each size N given.
//   molvane_write_icons OUT N...
#include <QDir>
#include <QString>
#include <cstdio>

#include "gui/app_icon.h"

namespace {

bool WriteIcon(const QDir& out, const QString& sizeText) {
  bool ok = false;
  const int size = sizeText.toInt(&ok);
  if (!ok || size <= 0) return false;
  const QString folder = QString("%1x%1/apps").arg(size);
  return out.mkpath(folder) &&
         molvane::MolvaneImage(size).save(out.filePath(folder + "/molvane.png"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: molvane_write_icons OUT SIZE...\n", stderr);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  for (int i = 2; i < argc; ++i) {
    if (!WriteIcon(out, QString::fromLocal8Bit(argv[i]))) {
      std::fprintf(stderr, "molvane_write_icons: the %s pixel icon could not be written\n",
                   argv[i]);
      return 1;
    }
  }
  return 0;
}

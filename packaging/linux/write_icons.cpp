// Draws the program's picture, the same one the window carries, into the icon theme's layout:
// OUT/NxN/apps/molvane.png for each size N given; or, with --ico, into one Windows icon file
// holding each size (packaging/windows/molvane.ico is made so).
//   molvane_write_icons OUT N...
//   molvane_write_icons --ico OUT.ico N...
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cstdio>
#include <cstring>
#include <vector>

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

void Append16(QByteArray& out, quint16 value) {
  const quint16 little = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

void Append32(QByteArray& out, quint32 value) {
  const quint32 little = qToLittleEndian(value);
  out.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// An icon file whose images are PNG files, as Windows reads them since Vista: a header, one
// directory entry per image, then the images. A size of 256 is written as 0.
bool WriteIco(const QString& path, char** sizes, int count) {
  std::vector<QByteArray> images;
  std::vector<int> sides;
  for (int i = 0; i < count; ++i) {
    bool ok = false;
    const int size = QString::fromLocal8Bit(sizes[i]).toInt(&ok);
    if (!ok || size <= 0 || size > 256) return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!molvane::MolvaneImage(size).save(&buffer, "PNG")) return false;
    images.push_back(png);
    sides.push_back(size);
  }
  constexpr int kHeaderBytes = 6;
  constexpr int kEntryBytes = 16;
  QByteArray out;
  Append16(out, 0);
  Append16(out, 1);  // an icon, not a cursor
  Append16(out, static_cast<quint16>(images.size()));
  quint32 offset = kHeaderBytes + kEntryBytes * static_cast<quint32>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const char side = static_cast<char>(sides[i] == 256 ? 0 : sides[i]);
    out.append(side).append(side).append('\0').append('\0');  // no palette, reserved
    Append16(out, 1);                                         // colour planes
    Append16(out, 32);                                        // bits per pixel
    Append32(out, static_cast<quint32>(images[i].size()));
    Append32(out, offset);
    offset += static_cast<quint32>(images[i].size());
  }
  for (const QByteArray& image : images) out.append(image);
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: molvane_write_icons OUT SIZE... | --ico OUT.ico SIZE...\n", stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--ico") == 0) {
    if (argc < 4 || !WriteIco(QString::fromLocal8Bit(argv[2]), argv + 3, argc - 3)) {
      std::fprintf(stderr, "molvane_write_icons: %s could not be written\n", argv[2]);
      return 1;
    }
    return 0;
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

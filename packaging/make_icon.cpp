// notora_make_icon: writes the application icon at one size as a PNG file,
// for the hicolor icon theme.
//
//   notora_make_icon SOURCE.xpm SIZE OUTPUT.png
//
// The icon is drawn pixel by pixel. Made larger, each of its pixels becomes a
// whole block of pixels, so edges stay sharp; where the size is not a
// multiple of the source, that enlargement is then smoothed down to it.
// Made smaller, it is smoothed down directly.
#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: notora_make_icon SOURCE.xpm SIZE OUTPUT.png\n");
    return 64;
  }
  const QImage source(QString::fromLocal8Bit(argv[1]));
  if (source.isNull() || source.width() != source.height()) {
    std::fprintf(stderr, "notora_make_icon: %s is not a square image\n", argv[1]);
    return 2;
  }
  bool isNumber = false;
  const int size = QString::fromLocal8Bit(argv[2]).toInt(&isNumber);
  if (!isNumber || size < 1 || size > 1024) {
    std::fprintf(stderr, "notora_make_icon: size %s is not between 1 and 1024\n", argv[2]);
    return 64;
  }

  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  if (size > image.width()) {
    const int factor = (size + image.width() - 1) / image.width();
    image = image.scaled(image.width() * factor, image.height() * factor, Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
  }
  if (image.width() != size) {
    image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "notora_make_icon: cannot write %s\n", argv[3]);
    return 2;
  }
  return 0;
}

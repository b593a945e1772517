// Renders the window's SVG pictures for a build without Qt Svg (the Windows
// build): PNG files at a given size, and the application's icon as a
// Windows icon file holding PNG images of the usual sizes.
//   trekmor-render-pictures png IN.svg OUT.png WIDTH HEIGHT
//   trekmor-render-pictures ico IN.svg OUT.ico
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <vector>
#include <cstdint>
#include <iostream>
#include <optional>

namespace {

std::optional<QImage> render(const QString& svg, int width, int height) {
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) return std::nullopt;
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  return image;
}

QByteArray png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

void putLittleEndian(QByteArray& bytes, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.append(char((value >> (8 * i)) & 0xFF));
}

// An icon directory (reserved 0, type 1, count), one 16-byte entry per image,
// then the images; Windows Vista and later read PNG-compressed entries.
QByteArray icon(const std::vector<QByteArray>& images, const std::vector<int>& sizes) {
  QByteArray bytes;
  putLittleEndian(bytes, 0, 2);
  putLittleEndian(bytes, 1, 2);
  putLittleEndian(bytes, std::uint32_t(images.size()), 2);
  std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = sizes[i] >= 256 ? 0 : sizes[i];  // 0 stands for 256
    putLittleEndian(bytes, std::uint32_t(size), 1);
    putLittleEndian(bytes, std::uint32_t(size), 1);
    putLittleEndian(bytes, 0, 1);   // no palette
    putLittleEndian(bytes, 0, 1);   // reserved
    putLittleEndian(bytes, 1, 2);   // colour planes
    putLittleEndian(bytes, 32, 2);  // bits per pixel
    putLittleEndian(bytes, std::uint32_t(images[i].size()), 4);
    putLittleEndian(bytes, offset, 4);
    offset += std::uint32_t(images[i].size());
  }
  for (const QByteArray& image : images) bytes.append(image);
  return bytes;
}

bool save(const QString& name, const QByteArray& bytes) {
  QSaveFile file(name);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

int usage() {
  std::cerr << "usage: trekmor-render-pictures png IN.svg OUT.png WIDTH HEIGHT\n"
               "       trekmor-render-pictures ico IN.svg OUT.ico\n";
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Text in the pictures needs fonts, which only a GUI application has; no
  // display is needed for that.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() < 4) return usage();
  const QString& command = arguments[1];
  const QString& in = arguments[2];
  const QString& out = arguments[3];
  QByteArray bytes;
  if (command == QLatin1String("png") && arguments.size() == 6) {
    bool widthOk = false;
    bool heightOk = false;
    const int width = arguments[4].toInt(&widthOk);
    const int height = arguments[5].toInt(&heightOk);
    if (!widthOk || !heightOk || width <= 0 || height <= 0 || width > 4096 || height > 4096) return usage();
    const std::optional<QImage> image = render(in, width, height);
    if (!image) {
      std::cerr << "trekmor-render-pictures: " << in.toStdString() << " is not a picture\n";
      return 1;
    }
    bytes = png(*image);
  } else if (command == QLatin1String("ico") && arguments.size() == 4) {
    const std::vector<int> sizes{16, 24, 32, 48, 64, 256};
    std::vector<QByteArray> images;
    for (const int size : sizes) {
      const std::optional<QImage> image = render(in, size, size);
      if (!image) {
        std::cerr << "trekmor-render-pictures: " << in.toStdString() << " is not a picture\n";
        return 1;
      }
      images.push_back(png(*image));
    }
    bytes = icon(images, sizes);
  } else {
    return usage();
  }
  if (!save(out, bytes)) {
    std::cerr << "trekmor-render-pictures: cannot write " << out.toStdString() << "\n";
    return 1;
  }
  return 0;
}

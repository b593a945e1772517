#include "ui/picture.h"

#if defined(TREKMOR_SVG_PICTURES)
#include <QSvgWidget>
#else
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#endif

namespace trekmor {

#if defined(TREKMOR_SVG_PICTURES)

QWidget* newPicture(const QString& name, QSize size, QWidget* parent) {
  auto* picture = new QSvgWidget(QStringLiteral(":/pictures/") + name + QStringLiteral(".svg"), parent);
  picture->setFixedSize(size);
  return picture;
}

#else

namespace {

// Paints the rendering that best fits the display's pixel density, scaled to
// the widget as a QSvgWidget scales its drawing.
class PictureWidget : public QWidget {
 public:
  PictureWidget(const QString& name, QWidget* parent)
      : QWidget(parent),
        m_single(QStringLiteral(":/pictures/") + name + QStringLiteral(".png")),
        m_double(QStringLiteral(":/pictures/") + name + QStringLiteral("@2x.png")) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap& pixmap = devicePixelRatioF() > 1.0 && !m_double.isNull() ? m_double : m_single;
    painter.drawPixmap(rect(), pixmap);
  }

 private:
  QPixmap m_single;
  QPixmap m_double;
};

}  // namespace

QWidget* newPicture(const QString& name, QSize size, QWidget* parent) {
  auto* picture = new PictureWidget(name, parent);
  picture->setFixedSize(size);
  return picture;
}

#endif

}  // namespace trekmor

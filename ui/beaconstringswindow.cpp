#include "ui/beaconstringswindow.h"

#include <QLabel>
#include <QVBoxLayout>

namespace trekmor {

const QStringList& SpecialStringsWindow::lines() {
  // Exact texts, including the doubled blank before "Radio" and the blank
  // that ends the third line.
  static const QStringList texts{
      QStringLiteral("<statlat> - inserts latitude defined on  \"Radio\" Tab."),
      QStringLiteral("<statlong> - inserts longitude defined on  \"Radio\" Tab."),
      QStringLiteral("<gpsdate> - inserts time received from GPS in format: DDHHMM. "),
      QStringLiteral("<gpslat> - inserts latitude received from GPS."),
      QStringLiteral("<gpslong> - inserts longitude received from GPS."),
      QStringLiteral("<volt> - inserts measured input voltage."),
      QStringLiteral("<temp> - inserts temperature from thermometer connected to RS-485 bus (Celsius)."),
      QStringLiteral("<tempf> - inserts temperature from thermometer connected to RS-485 bus. (Fahrenheit)"),
      QStringLiteral("<depth> - inserts water depth calculated from sensor connected to WXTideMarker module."),
      QStringLiteral("Example:"),
      QStringLiteral("/<gpsdate>z<gpslat>/<gpslong>>Kestrova U=<volt>V."),
  };
  return texts;
}

SpecialStringsWindow::SpecialStringsWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Beacon special strings"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  int number = 1;
  for (const QString& text : lines()) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("Label%1").arg(number++));
    label->setTextFormat(Qt::PlainText);  // the placeholders look like tags
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    if (text == QStringLiteral("Example:")) layout->insertSpacing(layout->count() - 1, 8);
  }
  // The width is fixed at the window's laid-out 317 pixels; the height is what
  // the wrapped lines need at the platform's font, at least 236.
  const int width = 317;
  setFixedSize(width, std::max(236, layout->totalHeightForWidth(width)));
  move(559, 230);
}

}  // namespace trekmor

// "Beacon special strings": the placeholders the device replaces inside
// beacon texts. Built once at start-up, shown modally on each click.
#pragma once

#include <QDialog>

namespace trekmor {

class SpecialStringsWindow final : public QDialog {
  Q_OBJECT

 public:
  explicit SpecialStringsWindow(QWidget* parent = nullptr);

  // The eleven lines, top to bottom.
  static const QStringList& lines();
};

}  // namespace trekmor

// The settings whose values differ between the window and another
// configuration (a tracker, a file, a history entry), each with its caption,
// tab path and both values, found by the command line's comparison.
// Choosing a row shows the setting in the main window; nothing is changed.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "configfile/configfile.h"

class QTreeWidget;

namespace trekmor {

// A value as the window shows it: a choice's text for an index, else the value.
QString shownValue(const FieldDecl& field, const std::string& value);

class CompareWindow final : public QDialog {
  Q_OBJECT

 public:
  using Show = std::function<void(const std::string& control)>;
  // `differences` as settingDifferences(window, other) gives them.
  CompareWindow(QWidget* parent, const QString& title, const QString& otherName,
                const std::vector<SettingDifference>& differences, Show show);

  QTreeWidget* list() const { return m_list; }

 private:
  QTreeWidget* m_list = nullptr;
};

}  // namespace trekmor

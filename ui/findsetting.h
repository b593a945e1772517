// Find a setting: a small window with a search field over every setting's
// caption, hint, control name and file key ("Radio.Callsign"), listing the
// matches with their tab path. Choosing one shows it in the main window.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "settings/fielddecl.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace trekmor {

// "Position reports > SmartBeaconing": the tabs that show the setting.
QString tabPathText(const FieldDecl& field);
// The caption as a list shows it, without its closing colon; the file key
// for a setting without a caption.
QString settingCaption(const FieldDecl& field);

// The declared settings that `query` matches, any letter case: first those
// whose caption, control name or file key holds it, then those whose hint
// does, each in declaration order. `shown` leaves out settings the window
// has no control for. Nothing for an empty query.
std::vector<const FieldDecl*> matchingSettings(const QString& query,
                                               const std::function<bool(const FieldDecl&)>& shown);

class FindSettingWindow final : public QDialog {
  Q_OBJECT

 public:
  using Show = std::function<void(const std::string& control)>;
  FindSettingWindow(QWidget* parent, std::function<bool(const FieldDecl&)> shown, Show show);

  // Shows the window with the last query selected, ready to be typed over.
  void start();
  QLineEdit* queryField() const { return m_query; }
  QListWidget* matches() const { return m_list; }

 protected:
  // Up, Down, Page Up and Page Down in the search field move through the
  // matches; Enter chooses the current one.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void search(const QString& query);
  void choose(QListWidgetItem* item);

  std::function<bool(const FieldDecl&)> m_shown;
  Show m_show;
  QLineEdit* m_query = nullptr;
  QListWidget* m_list = nullptr;
};

}  // namespace trekmor

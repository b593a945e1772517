// The configuration history in a window: its entries (of every tracker or of
// the present one), newest first, with time, serial number, what happened and
// whether the image passes its tests; the chosen entry can be loaded into the
// window, compared with it or exported. Restoring one is: load, then Write config.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/store.h"

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace trekmor {

class HistoryWindow final : public QDialog {
  Q_OBJECT

 public:
  using EntryAction = std::function<void(const HistoryEntry&)>;
  struct Actions {
    EntryAction load;
    EntryAction compare;
    EntryAction exportEntry;
    std::function<bool()> busy;  // a device operation runs: nothing is loaded then
  };
  // `store` null: no history folder is known. `presentSerial`: the tracker
  // connected now, which the list can be narrowed to.
  HistoryWindow(QWidget* parent, const HistoryStore* store, const std::optional<std::string>& presentSerial,
                HistoryWarning warn, Actions actions);

  QTreeWidget* list() const { return m_list; }
  const std::vector<HistoryEntry>& entries() const { return m_entries; }
  // Reads the entries again.
  void refresh();

 private:
  const HistoryEntry* current() const;
  void run(const EntryAction& action);
  void updateButtons();

  const HistoryStore* m_store;
  std::optional<std::string> m_presentSerial;
  HistoryWarning m_warn;
  Actions m_actions;
  std::vector<HistoryEntry> m_entries;
  QComboBox* m_scope = nullptr;
  QTreeWidget* m_list = nullptr;
  QList<QPushButton*> m_entryButtons;
};

}  // namespace trekmor

#include "ui/historywindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace trekmor {

HistoryWindow::HistoryWindow(QWidget* parent, const HistoryStore* store, const std::optional<std::string>& presentSerial,
                             HistoryWarning warn, Actions actions)
    : QDialog(parent), m_store(store), m_presentSerial(presentSerial), m_warn(std::move(warn)),
      m_actions(std::move(actions)) {
  setObjectName(QStringLiteral("HistoryWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Configuration history"));
  auto* layout = new QVBoxLayout(this);

  auto* scopeLine = new QHBoxLayout;
  auto* scopeLabel = new QLabel(QStringLiteral("&Show:"), this);
  m_scope = new QComboBox(this);
  m_scope->setObjectName(QStringLiteral("HistoryScope"));
  m_scope->addItem(QStringLiteral("All trackers"));
  if (m_presentSerial) m_scope->addItem(QStringLiteral("This tracker (%1)").arg(QString::fromStdString(*m_presentSerial)));
  scopeLabel->setBuddy(m_scope);
  scopeLine->addWidget(scopeLabel);
  scopeLine->addWidget(m_scope, 1);
  layout->addLayout(scopeLine);
  connect(m_scope, &QComboBox::activated, this, &HistoryWindow::refresh);

  m_list = new QTreeWidget(this);
  m_list->setObjectName(QStringLiteral("HistoryList"));
  m_list->setRootIsDecorated(false);
  m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Serial number"), QStringLiteral("What happened"),
                           QStringLiteral("Image tests")});
  layout->addWidget(m_list, 1);
  connect(m_list, &QTreeWidget::currentItemChanged, this, &HistoryWindow::updateButtons);

  auto* buttonLine = new QHBoxLayout;
  const auto addButton = [&](const char* name, const char* text, EntryAction* action) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::fromLatin1(name));
    buttonLine->addWidget(button);
    if (action != nullptr) {
      m_entryButtons.append(button);
      connect(button, &QPushButton::clicked, this, [this, action] { run(*action); });
    }
    return button;
  };
  addButton("HistoryLoad", "&Load into window", &m_actions.load);
  addButton("HistoryCompare", "&Compare with window", &m_actions.compare);
  addButton("HistoryExport", "&Export\u2026", &m_actions.exportEntry);
  buttonLine->addStretch(1);
  QPushButton* close = addButton("HistoryClose", "Close", nullptr);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  layout->addLayout(buttonLine);
  resize(700, 360);
  refresh();
}

void HistoryWindow::refresh() {
  const bool onlyPresent = m_scope->currentIndex() == 1 && m_presentSerial;
  m_entries = m_store ? m_store->entries(m_warn, onlyPresent ? m_presentSerial : std::nullopt)
                      : std::vector<HistoryEntry>{};
  m_list->clear();
  for (const HistoryEntry& entry : m_entries) {
    new QTreeWidgetItem(m_list, {QString::fromStdString(localTimeText(entry.timeUs)), QString::fromStdString(entry.serial),
                                 QString::fromStdString(eventDescription(entry)),
                                 entry.valid() ? QStringLiteral("passes") : QStringLiteral("fails")});
  }
  for (int column = 0; column < m_list->columnCount(); ++column) m_list->resizeColumnToContents(column);
  if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
  updateButtons();
}

const HistoryEntry* HistoryWindow::current() const {
  const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
  return row >= 0 && row < static_cast<int>(m_entries.size()) ? &m_entries[static_cast<std::size_t>(row)] : nullptr;
}

void HistoryWindow::run(const EntryAction& action) {
  // A copy: the action may read the history again, replacing the list.
  const HistoryEntry* entry = current();
  if (entry == nullptr || m_actions.busy()) return;
  const HistoryEntry chosen = *entry;
  action(chosen);
}

void HistoryWindow::updateButtons() {
  for (QPushButton* button : m_entryButtons) button->setEnabled(current() != nullptr);
}

}  // namespace trekmor

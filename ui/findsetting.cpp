#include "ui/findsetting.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "configfile/configfile.h"
#include "settings/registry.h"
#include "settings/tabs.h"
#include "ui/qtfields.h"

namespace trekmor {

namespace {

constexpr int kControlRole = Qt::UserRole;

bool holds(std::string_view text, const QString& query) {
  return fromSingleByte(text).contains(query, Qt::CaseInsensitive);
}

}  // namespace

QString tabPathText(const FieldDecl& field) {
  QStringList path;
  for (const std::string& caption : tabPath(field.tab)) path << fromSingleByte(caption);
  return path.join(QStringLiteral(" > "));
}

QString settingCaption(const FieldDecl& field) {
  QString caption = fromSingleByte(field.caption).trimmed();
  if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
  return caption.isEmpty() ? QString::fromStdString(settingName(field)) : caption;
}

std::vector<const FieldDecl*> matchingSettings(const QString& query,
                                               const std::function<bool(const FieldDecl&)>& shown) {
  const QString wanted = query.trimmed();
  std::vector<const FieldDecl*> named;
  std::vector<const FieldDecl*> hinted;
  if (wanted.isEmpty()) return named;
  for (const FieldDecl* field : allFields()) {
    if (!shown(*field)) continue;
    if (holds(field->caption, wanted) || holds(field->control, wanted) ||
        (!field->key.empty() && holds(settingName(*field), wanted))) {
      named.push_back(field);
    } else if (holds(field->hint, wanted)) {
      hinted.push_back(field);
    }
  }
  named.insert(named.end(), hinted.begin(), hinted.end());
  return named;
}

FindSettingWindow::FindSettingWindow(QWidget* parent, std::function<bool(const FieldDecl&)> shown, Show show)
    : QDialog(parent), m_shown(std::move(shown)), m_show(std::move(show)) {
  setObjectName(QStringLiteral("FindSettingWindow"));
  setWindowTitle(QStringLiteral("Find setting"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&Setting (caption, hint, name or file key):"), this);
  m_query = new QLineEdit(this);
  m_query->setObjectName(QStringLiteral("FindSettingQuery"));
  m_query->setClearButtonEnabled(true);
  label->setBuddy(m_query);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("FindSettingMatches"));
  layout->addWidget(label);
  layout->addWidget(m_query);
  layout->addWidget(m_list, 1);
  resize(680, 320);

  connect(m_query, &QLineEdit::textChanged, this, &FindSettingWindow::search);
  connect(m_list, &QListWidget::itemActivated, this, &FindSettingWindow::choose);
  m_query->installEventFilter(this);
}

void FindSettingWindow::start() {
  show();
  raise();
  activateWindow();
  m_query->setFocus(Qt::ShortcutFocusReason);
  m_query->selectAll();
}

void FindSettingWindow::search(const QString& query) {
  m_list->clear();
  for (const FieldDecl* field : matchingSettings(query, m_shown)) {
    const QString key = field->key.empty() ? QString() : QStringLiteral("  (%1)").arg(QString::fromStdString(settingName(*field)));
    auto* item = new QListWidgetItem(settingCaption(*field) + QStringLiteral("  \u2014  ") + tabPathText(*field) + key, m_list);
    item->setData(kControlRole, QString::fromStdString(field->control));
    item->setToolTip(fromSingleByte(field->hint));
  }
  if (m_list->count() > 0) m_list->setCurrentRow(0);
}

void FindSettingWindow::choose(QListWidgetItem* item) {
  if (item == nullptr) return;
  const std::string control = item->data(kControlRole).toString().toStdString();
  hide();
  m_show(control);
}

bool FindSettingWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_query && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QApplication::sendEvent(m_list, event);
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        choose(m_list->currentItem());
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace trekmor

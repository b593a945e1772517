#include "ui/comparewindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <charconv>

#include "ui/findsetting.h"
#include "ui/qtfields.h"

namespace trekmor {

namespace {
constexpr int kControlRole = Qt::UserRole;
}

QString shownValue(const FieldDecl& field, const std::string& value) {
  if (field.form == FileForm::Index) {
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (error == std::errc() && end == value.data() + value.size() && index < field.choices.size()) {
      return fromSingleByte(field.choices[index]);
    }
  }
  return fromSingleByte(value);
}

CompareWindow::CompareWindow(QWidget* parent, const QString& title, const QString& otherName,
                             const std::vector<SettingDifference>& differences, Show show)
    : QDialog(parent) {
  setObjectName(QStringLiteral("CompareWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  const QString count = differences.empty()       ? QStringLiteral("No setting differs.")
                        : differences.size() == 1 ? QStringLiteral("1 setting differs.")
                                                  : QStringLiteral("%1 settings differ.").arg(differences.size());
  auto* summary = new QLabel(count, this);
  summary->setObjectName(QStringLiteral("CompareSummary"));
  layout->addWidget(summary);

  m_list = new QTreeWidget(this);
  m_list->setObjectName(QStringLiteral("CompareList"));
  m_list->setRootIsDecorated(false);
  m_list->setAlternatingRowColors(true);
  m_list->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Tab"), QStringLiteral("Window"), otherName});
  for (const SettingDifference& difference : differences) {
    const FieldDecl& field = *difference.field;
    auto* row = new QTreeWidgetItem(m_list, {settingCaption(field), tabPathText(field), shownValue(field, difference.a),
                                             shownValue(field, difference.b)});
    row->setData(0, kControlRole, QString::fromStdString(field.control));
    row->setToolTip(0, QString::fromStdString(settingName(field)));
  }
  for (int column = 0; column < m_list->columnCount(); ++column) m_list->resizeColumnToContents(column);
  if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
  layout->addWidget(m_list, 1);
  connect(m_list, &QTreeWidget::itemActivated, this, [show = std::move(show)](QTreeWidgetItem* row) {
    show(row->data(0, kControlRole).toString().toStdString());
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  layout->addWidget(buttons);
  resize(720, 360);
}

}  // namespace trekmor

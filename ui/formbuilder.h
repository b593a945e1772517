// Builds the tab tree and every settings widget from the group declarations.
#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "settings/group.h"

class QPushButton;
class QTabWidget;
class QWidget;

namespace trekmor {

class QtFields;

class FormBuilder {
 public:
  explicit FormBuilder(QtFields& fields) : m_fields(fields) {}

  // Adds one tab per page (and the inner tab controls) to `tabs`.
  void addPages(QTabWidget* tabs, const std::vector<Page>& pages);

  const QHash<QString, QPushButton*>& buttons() const { return m_buttons; }

 private:
  QWidget* buildPage(const Page& page);
  QWidget* buildCell(const Cell& cell, QWidget* parent);
  QWidget* buildField(const FieldDecl& field, QWidget* parent);

  QtFields& m_fields;
  QHash<QString, QPushButton*> m_buttons;
};

}  // namespace trekmor

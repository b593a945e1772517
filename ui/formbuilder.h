// Builds the tab tree and every settings widget from the group declarations.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <vector>

#include "settings/group.h"
#include "ui/layout.h"

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

  // The keyboard order of everything under `tabs`: its tab bar, then each
  // page's controls in their declared order, an inner tab control's bar and
  // pages right after the controls of the page that holds it. addPages has
  // already linked them in this order.
  QList<QWidget*> focusChain(QTabWidget* tabs) const;

 private:
  QWidget* buildPage(const Page& page);
  QWidget* buildCell(const Cell& cell, QWidget* parent);
  QWidget* buildField(const FieldDecl& field, QWidget* parent);

  QtFields& m_fields;
  QHash<QString, QPushButton*> m_buttons;
  // Per page: its focusable controls in keyboard order (inner pages apart).
  QHash<const QWidget*, QList<QWidget*>> m_pageFocus;
  // While a page is built: the controls met so far with their tab block.
  std::vector<std::pair<int, QWidget*>> m_focus;
  int m_block = 0;
  int m_depth = 0;
};

}  // namespace trekmor

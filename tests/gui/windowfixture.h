// A main window over the simulator for the menu bar's tests: boxes recorded,
// a history folder and remembered settings of its own, file dialogs answered
// from a queue of names.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "sim/transport.h"
#include "ui/mainwindow.h"

namespace trekmor::testing {

class MenuWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    // Every test starts with nothing remembered.
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("aprs-trekmor"), QStringLiteral("configurator"))
        .clear();
    window = makeWindow();
  }

  std::unique_ptr<MainWindow> makeWindow() {
    auto made = std::make_unique<MainWindow>();
    made->setTransport(std::make_unique<sim::SimulatedTransport>(device));
    made->setFirmwareImage(std::nullopt);
    made->setHistoryFolder(std::filesystem::path(folder.filePath(QStringLiteral("history")).toStdString()));
    made->setStampSeed(7);
    made->userInterface().setBoxSink(
        [this](QtUserInterface::Box, const QString&, const QString& text) { boxes.push_back(text); });
    made->setFileChooser([this](QFileDialog& dialog) {
      dialogs.push_back(dialog.objectName());
      if (answers.empty()) return QString();
      const QString answer = answers.front();
      answers.pop_front();
      return answer;
    });
    return made;
  }

  QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  template <typename T>
  T* find(const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  QStringList logLines() { return find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n')); }
  QString lastLogLine() { return logLines().back(); }
  QString file(const char* name) { return folder.filePath(QString::fromLatin1(name)); }

  QTemporaryDir folder;
  sim::DeviceSimulator device;
  std::unique_ptr<MainWindow> window;
  QStringList boxes;
  QStringList dialogs;
  std::deque<QString> answers;  // the files the dialogs choose, in turn
};

}  // namespace trekmor::testing

// The main window built offscreen against the in-process simulator, with a
// stand-in for the user in front of message boxes and file dialogs, and a
// snapshot of every settings field to tell whether an operation changed any.
// Every widget test builds its window through this fixture.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <vector>
#include <map>
#include <memory>
#include <string>

#include "settings/pipeline.h"
#include "settings/registry.h"
#include "sim/transport.h"
#include "tests/support/commandbuttons.h"
#include "tests/support/tempdir.h"
#include "ui/mainwindow.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace trekmor::testing {

// Short, so that every silent exchange costs the tests little; the silent
// simulator waits it out for real, as hidapi does.
inline constexpr std::chrono::milliseconds kTestReplyTimeout{25};

// Every field's text or selected index and whether it is enabled.
using Snapshot = std::map<std::string, std::string>;

// A message box as the window showed it.
struct ShownBox {
  QtUserInterface::Box kind;
  QString caption;
  QString text;
};

inline QString qs(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
inline QString qs(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

inline Snapshot snapshotOf(MainWindow& window) {
  Snapshot out;
  for (const FieldDecl* field : allFields()) {
    const std::string value = field->isCombo() ? std::to_string(window.fields().index(field->control))
                                               : window.fields().text(field->control);
    out[field->control] = value + (window.fields().enabled(field->control) ? "" : " (off)");
  }
  return out;
}

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    auto transport = std::make_unique<sim::SimulatedTransport>(device);
    transport->setReplyTimeout(kTestReplyTimeout);
    transport->setWaitOutSilence(true);
    link = transport.get();
    window = std::make_unique<MainWindow>();
    window->setTransport(std::move(transport));
    window->setFirmwareImage(std::nullopt);
    window->setStampSeed(7);
    window->userInterface().setBoxSink([this](QtUserInterface::Box kind, const QString& caption, const QString& text) {
      shown.push_back({kind, caption, text});
      boxes << text;
    });
    window->setFileChooser([this](QFileDialog&) { return answer; });
  }

  template <typename T = QWidget>
  T* find(const std::string& name) {
    return window->findChild<T*>(qs(name));
  }
  void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
  QStringList logLines() {
    const QString text = find<QPlainTextEdit>("Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }
  int progress() { return find<QProgressBar>("ProgressBar1")->value(); }
  bool commandButtonsEnabled() {
    for (const char* name : kCommandButtons) {
      if (!find<QPushButton>(name)->isEnabled()) return false;
    }
    return true;
  }

  Snapshot snapshot() { return snapshotOf(*window); }

  // An image of the start values with another callsign, as a device holds it.
  static Image deviceImage(const std::string& callsign) {
    FieldStore fields = FieldStore::withStartValues();
    fields.setText("Callsign", callsign);
    Image image{};
    EXPECT_TRUE(packConfigImage(fields, image, 3));
    return image;
  }

  sim::DeviceSimulator device;
  sim::SimulatedTransport* link = nullptr;
  std::unique_ptr<MainWindow> window;
  QStringList boxes;              // the texts of the message boxes shown, in order
  std::vector<ShownBox> shown;    // the same boxes with their kinds and captions
  QString answer;  // the file the user picks in the next dialog
};

}  // namespace trekmor::testing

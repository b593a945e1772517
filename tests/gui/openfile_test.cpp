// A configuration file reaching the window other than through "Read from
// file": named on the command line, or dropped on the window or on one of its
// edit boxes. Each must load the file exactly as "Read from file" does.
#include <gtest/gtest.h>

#include <QDir>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "configfile/configfile.h"
#include "product/product.h"
#include "tests/support/window_fixture.h"
#include "ui/startup.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

using testing::qs;
using testing::ShownBox;
using testing::Snapshot;
using testing::writeFile;

enum class Way { CommandLine, DropOnWindow, DropOnEditBox };

struct FileCase {
  const char* name;
  // The file's content: a saved file whose version text is replaced by the
  // one given, or a foreign text; none at all when both are empty.
  const char* version;
  const char* foreign;
  std::vector<std::string_view> boxes;
  const char* callsign;  // afterwards
};

void PrintTo(const FileCase& file, std::ostream* os) { *os << file.name; }

const FileCase kFileCases[] = {
    {"Saved", kConfigVersionText.data(), "", {}, "SQ9ABC"},
    {"OtherVersion", "v0.99", "", {kOtherVersionMessage}, "SQ9ABC"},
    {"Foreign", "", "[!WARNING]\nApplication=APRS TREKMOR CONFIGURATOR\n[Radio]\nCallsign=X\n",
     {kNotConfigurationFileMessage}, "NOCALL"},
    {"Missing", "", "", {kNotConfigurationFileMessage}, "NOCALL"},
};

// What a window showed and holds after a file reached it, and the file the
// next "Read from file" proposes.
struct Outcome {
  std::vector<ShownBox> boxes;
  Snapshot fields;
  QStringList proposed;
};

void recordBoxes(MainWindow& window, std::vector<ShownBox>& boxes) {
  window.userInterface().setBoxSink([&boxes](QtUserInterface::Box kind, const QString& caption, const QString& text) {
    boxes.push_back({kind, caption, text});
  });
}

Outcome outcomeOf(MainWindow& window, std::vector<ShownBox> boxes) {
  QStringList proposed;
  window.setFileChooser([&proposed](QFileDialog& dialog) {
    proposed = dialog.selectedFiles();
    return QString();
  });
  window.Button_read_from_fileClick();
  return {std::move(boxes), testing::snapshotOf(window), proposed};
}

void sendDrop(QWidget& target, const QList<QUrl>& urls, bool& enterAccepted) {
  // File managers offer the names as text as well, which an edit box takes.
  QMimeData data;
  data.setUrls(urls);
  data.setText(urls.value(0).toString());
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &enter);
  enterAccepted = enter.isAccepted();
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &drop);
  QCoreApplication::sendPostedEvents();
}

class OpenFile : public testing::WindowFixture, public ::testing::WithParamInterface<std::tuple<FileCase, Way>> {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    const FileCase& file = std::get<0>(GetParam());
    path = dir / "tracker.cfg";
    if (*file.version != '\0') {
      FieldStore fields = FieldStore::withStartValues();
      fields.setText("Callsign", "SQ9ABC");
      ASSERT_EQ(saveConfiguration(fields, path).status, SaveResult::Status::Ok);
      std::string text = testing::readFile(path);
      text.replace(text.find(trekmor::testing::configVersion()), trekmor::testing::configVersion().size(), file.version);
      writeFile(path, text);
    } else if (*file.foreign != '\0') {
      writeFile(path, file.foreign);
    }
  }

  Outcome throughReadFromFile() {
    answer = qs(path);
    click("Button_read_from_file");
    return outcomeOf(*window, shown);
  }

  Outcome through(Way way) {
    std::vector<ShownBox> boxes;
    if (way == Way::CommandLine) {
      Outcome outcome;
      StartupHooks hooks;
      hooks.beforeLoop = [&](MainWindow& started) {
        recordBoxes(started, boxes);
        // Queued after the load that start-up queued for the file.
        QTimer::singleShot(0, &started, [&] {
          outcome = outcomeOf(started, boxes);
          desktopFileName = QGuiApplication::desktopFileName();
          started.close();
        });
      };
      EXPECT_EQ(runConfigurator(*qobject_cast<QApplication*>(QCoreApplication::instance()), hooks, qs(path)), 0);
      return outcome;
    }
    MainWindow other;
    recordBoxes(other, boxes);
    QWidget* target = &other;
    if (way == Way::DropOnEditBox) target = other.findChild<QLineEdit*>(QStringLiteral("Callsign"));
    bool accepted = false;
    sendDrop(*target, {QUrl::fromLocalFile(qs(path))}, accepted);
    EXPECT_TRUE(accepted);
    return outcomeOf(other, boxes);
  }

  testing::TempDir dir;
  std::filesystem::path path;
  QString desktopFileName;
};

TEST_P(OpenFile, LoadsAsReadFromFileDoes) {
  const auto& [file, way] = GetParam();
  const Outcome expected = throughReadFromFile();
  const Outcome outcome = through(way);

  QStringList texts;
  for (std::string_view text : file.boxes) texts << QString::fromLatin1(text.data(), qsizetype(text.size()));
  // A file that does not exist: the load's message, then its name and the system's reason.
  if (!std::filesystem::exists(path)) texts.back() += QLatin1Char('\n') + qs(path) + QStringLiteral(": No such file or directory");
  for (const Outcome* o : {&expected, &outcome}) {
    QStringList shownTexts;
    for (const ShownBox& box : o->boxes) shownTexts << box.text;
    EXPECT_EQ(shownTexts, texts);
    EXPECT_EQ(o->fields.at("Callsign"), file.callsign);
    EXPECT_EQ(o->proposed, QStringList{QDir::fromNativeSeparators(qs(path))});  // as Qt spells names
  }
  ASSERT_EQ(outcome.boxes.size(), expected.boxes.size());
  for (std::size_t i = 0; i < outcome.boxes.size(); ++i) {
    EXPECT_EQ(outcome.boxes[i].kind, expected.boxes[i].kind);
    EXPECT_EQ(outcome.boxes[i].caption, expected.boxes[i].caption);
  }
  EXPECT_EQ(outcome.fields, expected.fields);
  if (way == Way::CommandLine) {
    EXPECT_EQ(desktopFileName, QStringLiteral("org.trekmor.configurator"));
  }
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<FileCase, Way>>& info) {
  static const char* const ways[] = {"CommandLine", "DropOnWindow", "DropOnEditBox"};
  return std::string(std::get<0>(info.param).name) + ways[int(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(FilesAndWays, OpenFile,
                         ::testing::Combine(::testing::ValuesIn(kFileCases),
                                            ::testing::Values(Way::CommandLine, Way::DropOnWindow,
                                                              Way::DropOnEditBox)),
                         caseName);

struct Drag {
  const char* name;
  std::vector<const char*> files;  // local files, or a URL when it has a scheme
  bool busy;
  bool taken;
};

void PrintTo(const Drag& drag, std::ostream* os) { *os << drag.name; }

class DropOnWindow : public testing::WindowFixture, public ::testing::WithParamInterface<Drag> {};

TEST_P(DropOnWindow, TakesOneConfigurationFileWhileIdle) {
  const Drag& drag = GetParam();
  testing::TempDir dir;
  FieldStore fields = FieldStore::withStartValues();
  fields.setText("Callsign", "SQ9ABC");
  QList<QUrl> urls;
  for (const char* file : drag.files) {
    const QUrl url(QString::fromLatin1(file));
    if (!url.scheme().isEmpty()) {
      urls << url;
      continue;
    }
    ASSERT_EQ(saveConfiguration(fields, dir / file).status, SaveResult::Status::Ok);
    urls << QUrl::fromLocalFile(qs(dir / file));
  }
  window->userInterface().setBusy(drag.busy);
  bool accepted = false;
  sendDrop(*window, urls, accepted);
  EXPECT_EQ(accepted, drag.taken);
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(snapshot().at("Callsign"), drag.taken ? "SQ9ABC" : "NOCALL");
}

INSTANTIATE_TEST_SUITE_P(Drags, DropOnWindow,
                         ::testing::Values(Drag{"OneFile", {"a.cfg"}, false, true},
                                           Drag{"UpperCaseSuffix", {"A.CFG"}, false, true},
                                           Drag{"WhileBusy", {"a.cfg"}, true, false},
                                           Drag{"TwoFiles", {"a.cfg", "b.cfg"}, false, false},
                                           Drag{"OtherSuffix", {"a.txt"}, false, false},
                                           Drag{"NotLocal", {"http://example.org/a.cfg"}, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trekmor

// "Save to file" and "Read from file" driven through the window's buttons,
// with a stand-in for the user in front of the file dialogs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "configfile/configfile.h"
#include "tests/support/tempdir.h"
#include "tests/support/window_fixture.h"
#include "ui/mainwindow.h"
#include "tests/support/version.h"

namespace trekmor {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

using testing::qs;

struct Dialog {
  QString name;
  QFileDialog::AcceptMode mode;
  QStringList filters;
  QString directory;
  QStringList proposed;
};

class FileButtons : public testing::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    window->setFileChooser([this](QFileDialog& dialog) {
      dialogs.push_back({dialog.objectName(), dialog.acceptMode(), dialog.nameFilters(),
                         dialog.directory().absolutePath(), dialog.selectedFiles()});
      return answer;
    });
  }
  TempDir dir;
  std::vector<Dialog> dialogs;
};

TEST_F(FileButtons, DialogsAreSetUpAndProposeTheLastChosenFile) {
  answer = qs(dir / "mine.cfg");
  click("Button_save_to_file");
  click("Button_save_to_file");
  answer.clear();
  click("Button_read_from_file");
  ASSERT_EQ(dialogs.size(), 3u);
  const QString folder = QDir(MainWindow::configFolder()).absolutePath();
  EXPECT_EQ(dialogs[0].name, QStringLiteral("SaveDialog1"));
  EXPECT_EQ(dialogs[0].mode, QFileDialog::AcceptSave);
  EXPECT_EQ(dialogs[0].directory, folder);
  EXPECT_EQ(dialogs[0].proposed, QStringList{folder + QStringLiteral("/aprs_trekmor.cfg")});
  EXPECT_EQ(dialogs[1].proposed, QStringList{QDir::fromNativeSeparators(qs(dir / "mine.cfg"))});
  EXPECT_EQ(dialogs[2].name, QStringLiteral("OpenDialog2"));
  EXPECT_EQ(dialogs[2].mode, QFileDialog::AcceptOpen);
  for (const Dialog& s : dialogs) EXPECT_EQ(s.filters, QStringList{QStringLiteral("APRS Trekmor config files (*.cfg)")});
  EXPECT_TRUE(boxes.isEmpty());  // a cancelled dialog does nothing
}

TEST_F(FileButtons, ConfigFolderBesideTheProgramWinsOverTheDocuments) {
  const QString config = QCoreApplication::applicationDirPath() + QStringLiteral("/config");
  ASSERT_FALSE(QDir(config).exists());
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  EXPECT_EQ(MainWindow::configFolder(), QDir(documents).exists() ? documents : QDir::homePath());
  ASSERT_TRUE(QDir().mkpath(config));
  EXPECT_EQ(MainWindow::configFolder(), config);
  QDir(config).removeRecursively();
}

TEST_F(FileButtons, SaveWritesWhatTheWidgetsShowAndReadFromFileBringsItBack) {
  answer = qs(dir / "a.cfg");
  find<QLineEdit>("Callsign")->setText(QStringLiteral("sq9abc"));
  find<QLineEdit>("Txdelay")->setText(QStringLiteral("0300"));
  find<QComboBox>("Tx_power")->setCurrentIndex(2);
  click("Button_save_to_file");
  EXPECT_TRUE(boxes.isEmpty());
  const ProfileFile saved = *ProfileFile::read(dir / "a.cfg");
  EXPECT_EQ(saved.value("Radio", "Callsign"), "sq9abc");
  EXPECT_EQ(saved.value("Radio", "TXdelay"), "300");
  EXPECT_EQ(saved.value("Radio", "Tx_power"), "2");

  writeFile(dir / "a.cfg", readFile(dir / "a.cfg") + "[Radio]\r\n");
  std::string text = readFile(dir / "a.cfg");
  text.replace(text.find("Squelch=0"), 9, "Squelch=42");
  text.replace(text.find(trekmor::testing::configVersion()), trekmor::testing::configVersion().size(), "v0.99");
  writeFile(dir / "a.cfg", text);
  find<QLineEdit>("Callsign")->setText(QStringLiteral("OTHER"));
  click("Button_read_from_file");
  EXPECT_EQ(boxes, QStringList{QString::fromLatin1(kOtherVersionMessage.data())});
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("sq9abc"));
  EXPECT_EQ(find<QLineEdit>("Txdelay")->text(), QStringLiteral("300"));
  EXPECT_EQ(find<QComboBox>("Tx_power")->currentIndex(), 2);
  EXPECT_EQ(find<QComboBox>("Squelch")->currentIndex(), -1);
}

TEST_F(FileButtons, FailuresShowTheirBoxAndChangeNothing) {
  writeFile(dir / "foreign.cfg", "[!WARNING]\nApplication=APRS TREKMOR CONFIGURATOR\n[Radio]\nCallsign=X\n");
  answer = qs(dir / "foreign.cfg");
  click("Button_read_from_file");
  EXPECT_EQ(find<QLineEdit>("Callsign")->text(), QStringLiteral("NOCALL"));

  find<QLineEdit>("Txrx_freq")->setText(QStringLiteral("144.8"));
  answer = qs(dir / "new.cfg");
  click("Button_save_to_file");
  EXPECT_FALSE(fs::exists(dir / "new.cfg"));

  find<QLineEdit>("Txrx_freq")->setText(QStringLiteral("144800000"));
  answer = qs(dir / "missing" / "x.cfg");
  click("Button_save_to_file");
  EXPECT_EQ(boxes, (QStringList{QString::fromLatin1(kNotConfigurationFileMessage.data()),
                                QStringLiteral("'144.8' is not a valid integer value."),
                                QStringLiteral("Unable to write to ") + answer +
                                    QStringLiteral(".\nNo such file or directory.")}));
}

}  // namespace
}  // namespace trekmor

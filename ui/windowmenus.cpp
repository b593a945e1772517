// The window's menu bar and what its entries do beyond the command buttons:
// recent files, the write options, the firmware from a file, the history, the
// choice of tracker, finding and comparing settings, the manual and About.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "configfile/configfile.h"
#include "device/firmwarefile.h"
#include "device/flows.h"
#include "device/recordingtransport.h"
#include "device/verification.h"
#include "platform/wholefile.h"
#include "product/product.h"
#include "settings/pipeline.h"
#include "settings/registry.h"
#include "ui/comparewindow.h"
#include "ui/findsetting.h"
#include "ui/historywindow.h"
#include "ui/mainwindow.h"
#include "ui/preferences.h"

namespace trekmor {

namespace {

QString nativeName(const QString& file) { return QDir::toNativeSeparators(file); }

QFileDialog* extraDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode, const char* filters) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setNameFilter(QString::fromLatin1(filters));
  return dialog;
}

// The settings of `source` copied into a store of their own.
FieldStore copyOf(const Fields& source) {
  FieldStore copy = FieldStore::withStartValues();
  for (const FieldDecl* field : allFields()) {
    if (field->isCombo()) {
      copy.setIndex(field->control, source.index(field->control));
    } else {
      copy.setText(field->control, source.text(field->control));
    }
  }
  return copy;
}

}  // namespace

bool MainWindow::busy() const {
  return std::any_of(m_commandButtons.begin(), m_commandButtons.end(),
                     [](const QWidget* button) { return !button->isEnabled(); });
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  const auto add = [this](QMenu* menu, const char* name, const QString& text, auto slot,
                          QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (key != QKeySequence::UnknownKey) action->setShortcut(QKeySequence(key));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  const auto button = [this](const char* name) { return findChild<QWidget*>(QString::fromLatin1(name)); };

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("MenuFile"));
  m_buttonActions.append({add(file, "ActionOpen", QStringLiteral("&Open\u2026"), &MainWindow::Button_read_from_fileClick,
                              QKeySequence::Open),
                          button("Button_read_from_file")});
  m_buttonActions.append({add(file, "ActionSave", QStringLiteral("&Save\u2026"), &MainWindow::Button_save_to_fileClick,
                              QKeySequence::Save),
                          button("Button_save_to_file")});
  m_recentMenu = file->addMenu(QStringLiteral("Open &recent"));
  m_recentMenu->setObjectName(QStringLiteral("MenuRecent"));
  m_busyActions.append(m_recentMenu->menuAction());
  fillRecentMenu();
  file->addSeparator();
  add(file, "ActionQuit", QStringLiteral("&Quit"), &QWidget::close, QKeySequence::Quit);

  QMenu* device = bar->addMenu(QStringLiteral("&Device"));
  device->setObjectName(QStringLiteral("MenuDevice"));
  m_buttonActions.append({add(device, "ActionReadConfig", QStringLiteral("&Read config"), &MainWindow::Button_read_configClick),
                          button("Button_read_config")});
  m_buttonActions.append({add(device, "ActionWriteConfig", QStringLiteral("&Write config"),
                              &MainWindow::Button_write_configClick),
                          button("Button_write_config")});
  m_buttonActions.append({add(device, "ActionUploadFirmware", QStringLiteral("&Upload firmware"),
                              &MainWindow::Button_upload_firmwareClick),
                          button("Button_upload_firmware")});
  m_busyActions.append(add(device, "ActionUploadFirmwareFromFile", QStringLiteral("Upload firmware from &file\u2026"),
                           &MainWindow::uploadFirmwareFromFile));
  device->addSeparator();
  const auto option = [&](const char* name, const QString& text, const char* key) {
    QAction* action = device->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    QString problem;
    action->setChecked(Preferences::option(key, problem));
    if (!problem.isEmpty()) m_ui->log(toSingleByte(problem));
    connect(action, &QAction::toggled, this, [this, key](bool on) {
      const QString problem = Preferences::setOption(key, on);
      if (!problem.isEmpty()) m_ui->log(toSingleByte(problem));
    });
    m_busyActions.append(action);
    return action;
  };
  m_verifyAction = option("ActionVerifyAfterWriting", QStringLiteral("&Verify after writing"), kVerifyAfterWriting);
  m_backupAction = option("ActionBackUpBeforeWriting", QStringLiteral("&Back up before writing"), kBackUpBeforeWriting);
  device->addSeparator();
  m_busyActions.append(add(device, "ActionHistory", QStringLiteral("&History\u2026"), &MainWindow::showHistory));
  m_busyActions.append(add(device, "ActionCompareWithTracker", QStringLiteral("&Compare with tracker\u2026"),
                           &MainWindow::compareWithTracker));
  m_trackerMenu = device->addMenu(QStringLiteral("&Tracker"));
  m_trackerMenu->setObjectName(QStringLiteral("MenuTracker"));
  m_busyActions.append(m_trackerMenu->menuAction());
  connect(m_trackerMenu, &QMenu::aboutToShow, this, &MainWindow::fillTrackerMenu);

  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("MenuEdit"));
  m_busyActions.append(add(edit, "ActionFindSetting", QStringLiteral("&Find setting\u2026"), &MainWindow::findSetting,
                           QKeySequence::Find));
  m_busyActions.append(add(edit, "ActionCompareWithFile", QStringLiteral("&Compare with file\u2026"),
                           &MainWindow::compareWithFile));

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  add(help, "ActionManual", QStringLiteral("&Manual"), &MainWindow::showManual, QKeySequence::HelpContents);
  add(help, "ActionAbout", QStringLiteral("&About"), &MainWindow::showAbout);

  // The entries follow the buttons' state, which the busy flows switch.
  for (QWidget* commandButton : m_commandButtons) commandButton->installEventFilter(this);
  m_firmwareDialog = extraDialog(this, "FirmwareDialog", QFileDialog::AcceptOpen, "Firmware images (*.bin);;All files (*)");
  m_compareDialog = extraDialog(this, "CompareDialog", QFileDialog::AcceptOpen,
                                "APRS Trekmor config files (*.cfg);;Configuration images (*.bin)");
  m_exportDialog = extraDialog(this, "ExportDialog", QFileDialog::AcceptSave,
                               "APRS Trekmor config files (*.cfg);;Configuration images (*.bin)");
}

void MainWindow::updateActions() {
  for (const auto& [action, commandButton] : m_buttonActions) action->setEnabled(commandButton->isEnabled());
  const bool off = busy();
  for (QAction* action : m_busyActions) action->setEnabled(!off);
}

void MainWindow::fillRecentMenu() {
  m_recentMenu->clear();
  QString problem;
  const QStringList files = Preferences::recentFiles(problem);
  if (!problem.isEmpty() && !m_preferencesWarned) {
    m_preferencesWarned = true;
    m_ui->log(toSingleByte(problem));
  }
  for (int k = 0; k < files.size(); ++k) {
    const QString& file = files[k];
    QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(nativeName(file)));
    connect(action, &QAction::triggered, this, [this, file] { openRecentFile(file); });
  }
  m_recentMenu->setEnabled(!files.isEmpty() && !busy());
}

void MainWindow::rememberFile(const QString& file) {
  QString problem;
  const QString stored = Preferences::setRecentFiles(withRecentFile(Preferences::recentFiles(problem), file));
  if (!stored.isEmpty() && !m_preferencesWarned) {
    m_preferencesWarned = true;
    m_ui->log(toSingleByte(stored));
  }
  fillRecentMenu();
}

void MainWindow::openRecentFile(const QString& file) {
  if (busy()) return;
  if (!QFileInfo::exists(file)) {
    QString problem;
    QStringList files = Preferences::recentFiles(problem);
    files.removeAll(file);
    const QString stored = Preferences::setRecentFiles(files);
    m_ui->log(toSingleByte(QStringLiteral("%1 no longer exists and is removed from the recent files.").arg(nativeName(file))));
    if (!stored.isEmpty()) m_ui->log(toSingleByte(stored));
    fillRecentMenu();
    return;
  }
  openFile(file);
}

void MainWindow::fillTrackerMenu() {
  m_trackerMenu->clear();
  const std::vector<TrackerInfo> present = m_transport->trackers();
  const bool chosenPresent = m_chosenSerial && std::any_of(present.begin(), present.end(), [this](const TrackerInfo& t) {
                               return sameSerial(t.serial, *m_chosenSerial);
                             });
  if (!chosenPresent) m_chosenSerial.reset();  // the choice goes with its tracker
  if (present.empty()) {
    m_trackerMenu->addAction(QStringLiteral("No APRS Trekmor connected"))->setEnabled(false);
    return;
  }
  auto* group = new QActionGroup(m_trackerMenu);
  for (const TrackerInfo& tracker : present) {
    QAction* action = m_trackerMenu->addAction(QString::fromStdString(tracker.serial));
    action->setCheckable(true);
    group->addAction(action);
    if (present.size() == 1) {
      // One tracker: it is the one used, there is nothing to choose.
      action->setChecked(true);
      action->setEnabled(false);
      continue;
    }
    action->setChecked(m_chosenSerial && sameSerial(tracker.serial, *m_chosenSerial));
    connect(action, &QAction::triggered, this, [this, serial = tracker.serial] { m_chosenSerial = serial; });
  }
}

bool MainWindow::trackerReady() {
  const std::vector<TrackerInfo> present = m_transport->trackers();
  TrackerRequest request;
  request.serial = m_chosenSerial;
  TrackerChoice choice = trekmor::chooseTracker(present, request);
  if (choice.status == TrackerChoice::Status::UnknownSerial) {
    m_chosenSerial.reset();  // the chosen tracker has gone
    choice = trekmor::chooseTracker(present, TrackerRequest{});
  }
  if (choice.status == TrackerChoice::Status::Several) {
    m_ui->log("Several APRS Trekmor trackers are connected; choose one in Device > Tracker.");
    return false;
  }
  m_transport->choose(choice.status == TrackerChoice::Status::Chosen ? std::optional(choice.tracker->path)
                                                                       : std::nullopt);
  return true;
}

std::unique_ptr<RecordingTransport> MainWindow::recordingTransport() {
  return std::make_unique<RecordingTransport>(*m_transport, history(),
                                              [this](const std::string& line) { m_ui->log(line); });
}

void MainWindow::setHistoryFolder(std::optional<std::filesystem::path> folder) {
  if (folder) {
    m_history.emplace(std::move(*folder));
  } else {
    m_history.reset();
  }
}

void MainWindow::markSaved() { m_saved = copyOf(m_fields); }

bool MainWindow::hasUnsavedEdits() const { return !settingDifferences(m_fields, m_saved).empty(); }

void MainWindow::uploadFirmwareFromFile() {
  if (busy()) return;
  const QString file = chooseFile(*m_firmwareDialog, m_lastFirmware);
  if (file.isEmpty()) return;
  const FirmwareFile image = readFirmwareFile(FileName(file.toStdString()));
  const std::string name = toSingleByte(nativeName(file));
  if (image.failure.kind != ReadFailure::Kind::None) {
    m_ui->log("Unable to read " + toSingleByte(QString::fromStdString(readFailureText(name, image.failure))) +
              ". Nothing was sent to the device.");
    return;
  }
  if (!image.problem.empty()) {
    m_ui->log(notFirmwareText(name, image));
    return;
  }
  uploadImage(std::span<const std::uint8_t>(image.bytes));
}

void MainWindow::showSetting(const std::string& control) {
  QWidget* field = m_fields.widget(control);
  if (field == nullptr) return;
  // Every tab page on the way up is made current, the outermost last.
  for (QWidget* w = field; w != nullptr; w = w->parentWidget()) {
    QWidget* stack = w->parentWidget();
    if (auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr)) {
      const int index = tabs->indexOf(w);
      if (index >= 0) tabs->setCurrentIndex(index);
    }
  }
  activateWindow();
  field->setFocus(Qt::OtherFocusReason);
}

void MainWindow::findSetting() {
  if (busy()) return;
  if (m_find == nullptr) {
    m_find = new FindSettingWindow(
        this, [this](const FieldDecl& field) { return m_fields.widget(field.control) != nullptr; },
        [this](const std::string& control) { showSetting(control); });
  }
  m_find->start();
}

void MainWindow::showComparison(const QString& title, const QString& otherName, const Fields& other) {
  auto* window = new CompareWindow(this, title, otherName, settingDifferences(m_fields, other),
                                   [this](const std::string& control) { showSetting(control); });
  window->show();
}

void MainWindow::compareWithTracker() {
  if (busy() || !trackerReady()) return;
  const std::unique_ptr<RecordingTransport> device = recordingTransport();
  Image image{};
  FieldStore other = FieldStore::withStartValues();
  if (readDeviceImage(*m_ui, *device, image) != DeviceOutcome::Done ||
      acceptReadImage(image, other, *m_ui) != DeviceOutcome::Done) {
    m_ui->log("Nothing to compare: the tracker's configuration was not read.");
    return;
  }
  const std::optional<TrackerInfo> tracker = device->openedTracker();
  const QString serial = QString::fromStdString(tracker ? tracker->serial : std::string());
  showComparison(QStringLiteral("Compare with tracker %1").arg(serial), QStringLiteral("Tracker"), other);
}

void MainWindow::compareWithFile() {
  if (busy()) return;
  const QString file = chooseFile(*m_compareDialog, m_lastCompared);
  if (file.isEmpty()) return;
  FieldStore other = FieldStore::withStartValues();
  const FileName name(file.toStdString());
  if (file.endsWith(QStringLiteral(".bin"), Qt::CaseInsensitive)) {
    const std::optional<std::string> bytes = readWholeFile(name, kImageSize + 1);
    Image image{};
    if (!bytes || bytes->size() != kImageSize) {
      m_ui->log(toSingleByte(QStringLiteral("%1 is no configuration image of %2 bytes.").arg(nativeName(file)).arg(kImageSize)));
      return;
    }
    std::copy(bytes->begin(), bytes->end(), image.begin());
    if (acceptReadImage(image, other, silentInterface()) != DeviceOutcome::Done) {
      m_ui->log(toSingleByte(QStringLiteral("%1 fails the integrity or version test: nothing to compare.").arg(nativeName(file))));
      return;
    }
  } else if (loadConfiguration(name, other, *m_ui) != LoadResult::Loaded) {
    return;
  }
  showComparison(QStringLiteral("Compare with %1").arg(nativeName(file)), QFileInfo(file).fileName(), other);
}

void MainWindow::showHistory() {
  if (busy()) return;
  std::optional<std::string> present;
  const std::vector<TrackerInfo> trackers = m_transport->trackers();
  if (m_chosenSerial) {
    present = m_chosenSerial;
  } else if (trackers.size() == 1) {
    present = trackers.front().serial;
  }
  if (!m_history) m_ui->log("No folder for the configuration history is known.");
  // A history that cannot be read costs one line, however many files are skipped.
  auto warned = std::make_shared<bool>(false);
  HistoryWarning warn = [this, warned](const std::string& line) {
    if (*warned) return;
    *warned = true;
    m_ui->log("Configuration history: " + line);
  };
  HistoryWindow::Actions actions{[this](const HistoryEntry& entry) { loadHistoryEntry(entry); },
                                 [this](const HistoryEntry& entry) { compareHistoryEntry(entry); },
                                 [this](const HistoryEntry& entry) { exportHistoryEntry(entry); },
                                 [this] { return busy(); }};
  auto* window = new HistoryWindow(this, history(), present, warn, std::move(actions));
  window->show();
}

void MainWindow::loadHistoryEntry(const HistoryEntry& entry) {
  // As Read config unpacks the image its page reads gave.
  if (acceptReadImage(entry.image, m_fields, *m_ui) == DeviceOutcome::Done) markSaved();
}

void MainWindow::compareHistoryEntry(const HistoryEntry& entry) {
  FieldStore other = FieldStore::withStartValues();
  if (acceptReadImage(entry.image, other, silentInterface()) != DeviceOutcome::Done) {
    m_ui->log("History entry " + entry.id + " fails the integrity or version test: nothing to compare.");
    return;
  }
  showComparison(QStringLiteral("Compare with history entry %1").arg(QString::fromStdString(entry.id)),
                 QStringLiteral("Entry %1").arg(QString::fromStdString(entry.id)), other);
}

void MainWindow::exportHistoryEntry(const HistoryEntry& entry) {
  const QString file = chooseFile(*m_exportDialog, m_lastExported);
  if (file.isEmpty()) return;
  const FileName name(file.toStdString());
  const bool image = file.endsWith(QStringLiteral(".bin"), Qt::CaseInsensitive);
  if (!image && !file.endsWith(QStringLiteral(".cfg"), Qt::CaseInsensitive)) {
    m_ui->log("An exported entry is saved in a file ending in .bin or .cfg.");
    return;
  }
  SaveResult saved;
  if (image) {
    saved = saveImage(entry.image, name);
  } else {
    FieldStore fields = FieldStore::withStartValues();
    if (acceptReadImage(entry.image, fields, silentInterface()) != DeviceOutcome::Done) {
      m_ui->log("History entry " + entry.id + " fails the integrity or version test and cannot be saved as a .cfg "
                "file; a .bin file keeps it as it is.");
      return;
    }
    saved = saveConfiguration(fields, name, m_writeFile);
  }
  if (!saved) {
    m_ui->error(unableToWriteText(toSingleByte(nativeName(file))));
    return;
  }
  m_ui->log(toSingleByte(QStringLiteral("History entry %1 exported to %2").arg(QString::fromStdString(entry.id), nativeName(file))));
}

void MainWindow::showManual() {
  auto* window = new QDialog(this);
  window->setObjectName(QStringLiteral("ManualWindow"));
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(applicationTitle() + QStringLiteral(" manual"));
  auto* layout = new QVBoxLayout(window);
  auto* text = new QPlainTextEdit(window);
  text->setObjectName(QStringLiteral("ManualText"));
  text->setReadOnly(true);
  QFile manual(QStringLiteral(":/manual/README.md"));
  text->setPlainText(manual.open(QIODevice::ReadOnly) ? QString::fromUtf8(manual.readAll())
                                                      : QStringLiteral("The manual is not part of this build."));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
  connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
  layout->addWidget(buttons);
  window->resize(760, 520);
  window->show();
}

void MainWindow::showAbout() {
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("About ") + applicationTitle(),
                              QStringLiteral("%1 %2\n\nSets up the APRS Trekmor tracker over USB.\n\n"
                                             "Licence: GPL-3.0-or-later\nQt version: %3")
                                  .arg(applicationTitle(), fromSingleByte(kVersion), QString::fromLatin1(qVersion())),
                              QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("AboutBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

}  // namespace trekmor

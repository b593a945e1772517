#include "ui/mainwindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <initializer_list>

#include "configfile/configfile.h"
#include "device/firmware.h"
#include "device/flows.h"
#include "device/recordingtransport.h"
#include "device/verification.h"
#include "product/product.h"
#include "settings/pipeline.h"
#include "settings/registry.h"
#include "ui/formbuilder.h"
#include "ui/pages.h"
#include "ui/picture.h"
#include "ui/preferences.h"

namespace trekmor {

namespace {

QPushButton* commandButton(QWidget* parent, const char* name, const char* text, const char* hint) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(QString::fromLatin1(hint));
  return button;
}

QWidget* logo(QWidget* parent, const char* name, const char* picture, QSize size) {
  QWidget* logo = newPicture(QString::fromLatin1(picture), size, parent);
  logo->setObjectName(QString::fromLatin1(name));
  return logo;
}

constexpr const char* kConfigFilter = "APRS Trekmor config files (*.cfg)";
constexpr const char* kDefaultFileName = "aprs_trekmor.cfg";

QFileDialog* fileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setNameFilter(QString::fromLatin1(kConfigFilter));
  // A name typed without ".cfg" is used as typed, and choosing an existing
  // file to save over asks nothing.
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  return dialog;
}

// A name the dialogs, a drop or the arguments give, as the file functions take
// it: with the system's separators, so that the messages that name the file
// spell it as the user sees it.
FileName fileName(const QString& file) { return FileName(QDir::toNativeSeparators(file).toStdString()); }

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_transport(std::make_unique<HidapiTransport>()), m_firmware(carriedFirmware()) {
  setHistoryFolder(HistoryStore::defaultFolder());
  setObjectName(QStringLiteral("Form1"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(buildCommandRow());

  m_pages = new QTabWidget(central);
  m_pages->setObjectName(QStringLiteral("PageControl1"));
  m_pages->setUsesScrollButtons(false);  // every tab stays visible
  FormBuilder builder(m_fields);
  builder.addPages(m_pages, tabTree());
  m_pages->setCurrentIndex(0);
  layout->addWidget(m_pages, 1);

  m_log = new QPlainTextEdit(central);
  m_log->setObjectName(QStringLiteral("Memo1"));
  m_log->setReadOnly(true);
  m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_log->setFixedHeight(m_log->fontMetrics().lineSpacing() * 5 + 8);
  layout->addWidget(m_log);

  m_progress = new QProgressBar(central);
  m_progress->setObjectName(QStringLiteral("ProgressBar1"));
  m_progress->setRange(0, 100);
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_progress->setFixedHeight(20);
  layout->addWidget(m_progress);
  setCentralWidget(central);

  m_ui = std::make_unique<QtUserInterface>(this, m_log, m_progress);
  m_ui->setBusyControls(m_commandButtons);
  m_saveDialog = fileDialog(this, "SaveDialog1", QFileDialog::AcceptSave);
  m_openDialog = fileDialog(this, "OpenDialog2", QFileDialog::AcceptOpen);
  m_chooseFile = [](QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
  };
  for (auto it = builder.buttons().begin(); it != builder.buttons().end(); ++it) m_fields.add(it.value());
  if (QPushButton* special = builder.buttons().value(QString::fromLatin1(specialStringsButton()))) {
    connect(special, &QPushButton::clicked, this, &MainWindow::Button_special_stringsClick);
  }
  wireSettings();

  applyStartValues(m_fields, *m_ui);
  setWindowTitle(applicationTitle() + QLatin1Char(' ') + fromSingleByte(kConfigVersionText));
  markSaved();
  // Above the client area, which keeps its size: the window grows by the bar.
  buildMenus();
  m_askClose = [](QMessageBox& question) { return question.exec(); };

  // Fixed size, just large enough for the content; minimise but no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  adjustSize();
  setFixedSize(sizeHint());
  // A file dropped anywhere on the window is opened, also over an edit box,
  // which would otherwise take the file's name as text.
  setAcceptDrops(true);
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->acceptDrops()) child->installEventFilter(this);
  }
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::buildCommandRow() {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);

  struct CommandButton {
    const char* name;
    const char* text;
    const char* hint;
    void (MainWindow::*click)();
  };
  // The buttons of each box, left to right; all five are off while a device
  // operation is busy, switched in this order.
  const auto addButtons = [this](QGroupBox* box, std::initializer_list<CommandButton> buttons) {
    auto* boxLine = new QHBoxLayout(box);
    for (const CommandButton& b : buttons) {
      QPushButton* button = commandButton(box, b.name, b.text, b.hint);
      boxLine->addWidget(button);
      connect(button, &QPushButton::clicked, this, b.click);
      m_commandButtons.append(button);
    }
  };

  auto* connection = new QGroupBox(QStringLiteral("Connection:"), row);
  connection->setObjectName(QStringLiteral("GroupBox3"));
  addButtons(connection,
             {{"Button_read_config", "Read config", "Reads current configuration from device.",
               &MainWindow::Button_read_configClick},
              {"Button_write_config", "Write config", "Writes current configuration to device.",
               &MainWindow::Button_write_configClick},
              {"Button_upload_firmware", "Upload firmware", "Uploads firmware to device.",
               &MainWindow::Button_upload_firmwareClick}});

  auto* files = new QGroupBox(QStringLiteral("Configuration import/export:"), row);
  files->setObjectName(QStringLiteral("GroupBox1"));
  addButtons(files, {{"Button_save_to_file", "Save to file",
                      "Saves current configuration from Configurator application to file.",
                      &MainWindow::Button_save_to_fileClick},
                     {"Button_read_from_file", "Read from file",
                      "Reads current configuration from file to Configurator application.",
                      &MainWindow::Button_read_from_fileClick}});

  line->addWidget(connection);
  line->addWidget(files);
  line->addStretch(1);
  line->addWidget(logo(row, "Image1", "logo-wide", QSize(169, 49)));
  line->addWidget(logo(row, "Image2", "logo-small", QSize(61, 49)));
  return row;
}

void MainWindow::wireSettings() {
  for (const Group* group : packOrder()) {
    for (const RuleDecl& rule : group->rules) {
      // Rules that follow a user's choice hang on `activated`, which a
      // selection set by code never emits.
      for (const std::string& control : rule.triggers) {
        auto* combo = qobject_cast<QComboBox*>(m_fields.widget(control));
        if (combo == nullptr) continue;
        connect(combo, &QComboBox::activated, this, [this, run = rule.run] { run(m_fields, *m_ui); });
        // Typing into an editable list is a user's change too; textEdited,
        // unlike textChanged, is never emitted for text set by code.
        if (QLineEdit* line = combo->lineEdit()) {
          connect(line, &QLineEdit::textEdited, this, [this, run = rule.run] { run(m_fields, *m_ui); });
        }
      }
    }
    for (const ButtonDecl& button : group->buttons) {
      if (auto* widget = qobject_cast<QPushButton*>(m_fields.widget(button.name))) {
        connect(widget, &QPushButton::clicked, this, [this, click = button.click] { click(m_fields, *m_ui); });
      }
    }
  }
}

void MainWindow::Button_write_configClick() {
  if (busy()) return;
  // A character that the device's single-byte text cannot hold is refused
  // before anything is packed or the device is opened (a field that refuses
  // it with its own check's message is left to the pack).
  if (const std::optional<std::string> refused = m_fields.unencodableCharacter(false)) {
    m_ui->information(*refused);
    return;
  }
  if (!trackerReady()) return;
  const std::uint32_t seed = m_stampSeed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  const std::unique_ptr<RecordingTransport> device = recordingTransport();
  DeviceOutcome written = DeviceOutcome::PackFailed;
  if (m_backupAction->isChecked()) {
    // What the tracker holds goes into its history before anything is written.
    if (!packForDevice(m_fields, *m_ui, m_writeImage, seed)) return;
    if (!keepHeldConfiguration(*m_ui, *device, HistoryEvent::BeforeWrite)) {
      m_ui->log("Nothing was written to the device.");
      return;
    }
    written = writePackedImage(*m_ui, *device, m_writeImage);
  } else {
    written = writeConfig(m_fields, *m_ui, *device, m_writeImage, seed);
  }
  if (written != DeviceOutcome::Done) return;
  markSaved();
  if (m_verifyAction->isChecked()) {
    Image readBack{};
    std::size_t page = 0;
    const DeviceOutcome verified = verifyWrittenImage(*m_ui, *device, m_writeImage, readBack, page);
    std::string line;
    for (const std::string& finding : verificationFindings(verified, page, m_writeImage, readBack)) {
      line += (line.empty() ? "" : " ") + finding;
    }
    m_ui->log(line);
  }
}

void MainWindow::Button_read_configClick() {
  if (busy() || !trackerReady()) return;
  if (readConfig(m_fields, *m_ui, *recordingTransport(), m_readImage) == DeviceOutcome::Done) markSaved();
}

void MainWindow::Button_upload_firmwareClick() { uploadImage(m_firmware); }

void MainWindow::uploadImage(std::optional<std::span<const std::uint8_t>> image) {
  // The upload lets the window process events between blocks, so a second
  // click could arrive before the upload makes the window busy; it is ignored.
  if (m_uploadRunning) return;
  m_uploadRunning = true;
  struct Finish {
    bool& running;
    ~Finish() { running = false; }
  } finish{m_uploadRunning};
  if (!trackerReady()) return;
  uploadFirmware(*m_ui, *recordingTransport(), image);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_uploadRunning) {
    event->ignore();
    m_ui->log(kCloseRefusedDuringUpload);
    return;
  }
  if (hasUnsavedEdits()) {
    QMessageBox question(QMessageBox::Question, applicationTitle(),
                         QStringLiteral("The settings were changed since they were last read, written, loaded or "
                                        "saved. Close the window anyway?"),
                         QMessageBox::Close | QMessageBox::Cancel | QMessageBox::Save, this);
    question.setObjectName(QStringLiteral("CloseQuestion"));
    question.button(QMessageBox::Save)->setText(QStringLiteral("&Save\u2026"));
    question.setDefaultButton(QMessageBox::Cancel);
    const int answer = m_askClose(question);
    if (answer == QMessageBox::Save) Button_save_to_fileClick();
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && hasUnsavedEdits())) {
      event->ignore();
      return;
    }
  }
  QMainWindow::closeEvent(event);
}

QString MainWindow::configFolder() {
  const QDir config(QCoreApplication::applicationDirPath() + QStringLiteral("/config"));
  if (config.exists()) return config.absolutePath();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).exists() ? documents : QDir::homePath();
}

QString MainWindow::chooseFile(QFileDialog& dialog, QString& lastChosen) {
  // The folder is set anew on every click; once a file was chosen, the
  // dialog proposes it again.
  dialog.setDirectory(configFolder());
  if (!lastChosen.isEmpty()) {
    dialog.selectFile(lastChosen);
  } else if (dialog.acceptMode() == QFileDialog::AcceptSave) {
    dialog.selectFile(QString::fromLatin1(kDefaultFileName));
  }
  const QString file = m_chooseFile(dialog);
  if (!file.isEmpty()) lastChosen = file;
  return file;
}

void MainWindow::Button_save_to_fileClick() {
  // The file would hold a character the tool never stores; it is refused before the dialog.
  if (const std::optional<std::string> refused = m_fields.unencodableCharacter(true)) {
    m_ui->information(*refused);
    return;
  }
  const QString file = chooseFile(*m_saveDialog, m_lastSaved);
  if (file.isEmpty()) return;
  const SaveResult result = saveConfiguration(m_fields, fileName(file), m_writeFile);
  if (result.status == SaveResult::Status::ConversionError) m_ui->error(result.message);
  // The name as the user sees it (with the system's separators), not as the
  // file system spells it.
  if (result.status == SaveResult::Status::WriteFailed) {
    // The box adds the full stop after the reason, on a line of its own.
    const std::string reason = result.reason.empty() ? std::string() : ".\n" + toSingleByte(QString::fromStdString(result.reason));
    m_ui->error(unableToWriteText(toSingleByte(QDir::toNativeSeparators(file))) + reason);
  }
  if (!result) return;
  markSaved();
  m_ui->log(toSingleByte(QStringLiteral("Configuration saved to ") + QDir::toNativeSeparators(file)));
  rememberFile(file);
}

void MainWindow::Button_read_from_fileClick() {
  const QString file = chooseFile(*m_openDialog, m_lastOpened);
  if (file.isEmpty()) return;
  openFile(file);
}

void MainWindow::openFile(const QString& file) {
  m_lastOpened = QFileInfo(file).absoluteFilePath();
  if (loadConfiguration(fileName(file), m_fields, *m_ui) != LoadResult::Loaded) return;
  markSaved();
  m_ui->log(toSingleByte(QStringLiteral("Configuration loaded from ") + QDir::toNativeSeparators(file)));
  rememberFile(file);
}

QString MainWindow::droppedFile(const QMimeData* data) const {
  // "Read from file" is off while a device operation runs; so is a drop.
  if (busy() || data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString file = urls.front().toLocalFile();
  return file.endsWith(QStringLiteral(".cfg"), Qt::CaseInsensitive) ? file : QString();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::EnabledChange && m_commandButtons.contains(qobject_cast<QWidget*>(watched))) updateActions();
  if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
    // Entering and moving events derive from the drop event.
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = droppedFile(drop->mimeData());
    if (!file.isEmpty()) {
      drop->acceptProposedAction();
      // Loaded once the drop has finished: a message box of the load must
      // not keep the dragging program waiting.
      if (type == QEvent::Drop) {
        QMetaObject::invokeMethod(this, [this, file] { openFile(file); }, Qt::QueuedConnection);
      }
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Button_special_stringsClick() {
  if (m_specialStrings) m_specialStrings->exec();
}

}  // namespace trekmor

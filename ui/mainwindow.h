// The main window: command buttons, the tab tree of every settings field, the
// log pane and the progress bar. Its widgets hold the configuration.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "platform/wholefile.h"
#include "device/transport.h"
#include "history/store.h"
#include "image/image.h"
#include "settings/fields.h"
#include "ui/qtfields.h"
#include "ui/qtui.h"

class QAction;
class QDialog;
class QMenu;
class QMessageBox;
class QMimeData;
class QFileDialog;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace trekmor {

class FindSettingWindow;
class RecordingTransport;

// The log line for each close refused during a firmware upload.
inline constexpr const char* kCloseRefusedDuringUpload =
    "Firmware upload in progress: the window cannot be closed until it has finished.";

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  QtFields& fields() { return m_fields; }
  QtUserInterface& userInterface() { return *m_ui; }
  // The five command buttons, left to right: off while a device operation is busy.
  const QList<QWidget*>& commandButtons() const { return m_commandButtons; }
  const Image& writeImage() const { return m_writeImage; }
  const Image& readImage() const { return m_readImage; }

  // The device channel; hidapi unless a test puts the simulator in its place.
  void setTransport(std::unique_ptr<HidTransport> transport) { m_transport = std::move(transport); }
  // The firmware image "Upload firmware" sends; by default the one the program carries.
  void setFirmwareImage(std::optional<std::span<const std::uint8_t>> image) { m_firmware = image; }
  bool uploadRunning() const { return m_uploadRunning; }

  // The window that "Special strings" shows modally.
  void setSpecialStringsWindow(QDialog* window) { m_specialStrings = window; }

  // Seeds the image stamp of the next packs; by default the current time.
  void setStampSeed(std::optional<std::uint32_t> seed) { m_stampSeed = seed; }

  // Shows a prepared file dialog and returns the chosen file, or an empty
  // text when the user cancels. By default the dialog runs modally; tests
  // put a function here that inspects the dialog and answers for the user.
  using FileChooser = std::function<QString(QFileDialog&)>;
  void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

  // Puts a saved file's new content into the file that replaces the old
  // one; tests put one here that breaks off part-way.
  void setFileWriter(ByteWriter write) { m_writeFile = std::move(write); }

  // The folder both file dialogs open in: "config" beside the executable
  // when it exists, otherwise the user's documents folder (or the home
  // folder where there is none): never a folder that cannot be written.
  static QString configFolder();

  // Loads a configuration file exactly as "Read from file" does once the user
  // has chosen it; the next "Read from file" proposes it. The file named on
  // the command line and a dropped file come here.
  void openFile(const QString& file);

  // The history every image read from or written to a tracker is kept in;
  // by default the user's (HistoryStore::defaultFolder), nothing when none is known.
  void setHistoryFolder(std::optional<std::filesystem::path> folder);
  const HistoryStore* history() const { return m_history ? &*m_history : nullptr; }

  // Asks whether to close a window whose settings were changed since they
  // were last read, written, loaded or saved, and returns the button chosen
  // (Close, Cancel or Save). By default the box runs modally; tests answer it.
  using CloseQuestion = std::function<int(QMessageBox&)>;
  void setCloseQuestion(CloseQuestion ask) { m_askClose = std::move(ask); }
  // Whether the settings differ from those last read, written, loaded or saved.
  bool hasUnsavedEdits() const;

  // Shows the tab (and inner tabs) that hold the setting's control and puts
  // the focus into it.
  void showSetting(const std::string& control);

  // The serial number of the tracker chosen in Device > Tracker, if any.
  const std::optional<std::string>& chosenTracker() const { return m_chosenSerial; }
  void chooseTracker(const std::optional<std::string>& serial) { m_chosenSerial = serial; }

 public slots:
  void Button_write_configClick();
  void Button_read_configClick();
  void Button_upload_firmwareClick();
  void Button_save_to_fileClick();
  void Button_read_from_fileClick();
  void Button_special_stringsClick();

  // The menu bar's own entries.
  void openRecentFile(const QString& file);
  void uploadFirmwareFromFile();
  void findSetting();
  void compareWithTracker();
  void compareWithFile();
  void showHistory();
  void showManual();
  void showAbout();

 protected:
  // Refused while a firmware upload runs, with a log line that says why:
  // quitting half-way would leave the device without a whole firmware.
  void closeEvent(QCloseEvent* event) override;
  // A single .cfg file dragged over the window or any of its boxes is taken
  // and, dropped, opened; nothing is taken while a device operation keeps the
  // command buttons off. Other drags go on to the box under the mouse.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildCommandRow();
  void wireSettings();
  // Prepares `dialog` (initial folder, last chosen file) and asks for a file.
  QString chooseFile(QFileDialog& dialog, QString& lastChosen);
  // The configuration file a drag carries, or an empty text when it carries
  // anything else or the window is busy.
  QString droppedFile(const QMimeData* data) const;

  // True while a device operation keeps the command buttons off.
  bool busy() const;
  void buildMenus();
  // The menu entries follow the command buttons: each entry that matches a
  // button has that button's state, the other entries are off while busy.
  void updateActions();
  void fillRecentMenu();
  void fillTrackerMenu();
  // A file opened or saved becomes the first of the recent files.
  void rememberFile(const QString& file);
  // Applies the choice of Device > Tracker before a device operation; false,
  // with a log line, when several are present and none is chosen.
  bool trackerReady();
  // The transport that keeps every image of the operation in the history.
  std::unique_ptr<RecordingTransport> recordingTransport();
  void uploadImage(std::optional<std::span<const std::uint8_t>> image);
  // The settings shown now become those last read, written, loaded or saved.
  void markSaved();
  // The window's settings against `other`, in a window of its own.
  void showComparison(const QString& title, const QString& otherName, const Fields& other);
  // A history entry: its settings into the window, against the window, into a file.
  void loadHistoryEntry(const HistoryEntry& entry);
  void compareHistoryEntry(const HistoryEntry& entry);
  void exportHistoryEntry(const HistoryEntry& entry);

  QtFields m_fields;
  QList<QWidget*> m_commandButtons;  // the five command buttons, left to right
  std::unique_ptr<QtUserInterface> m_ui;
  QTabWidget* m_pages = nullptr;
  QPlainTextEdit* m_log = nullptr;
  QProgressBar* m_progress = nullptr;
  Image m_writeImage{};
  Image m_readImage{};
  std::optional<std::uint32_t> m_stampSeed;
  QFileDialog* m_saveDialog = nullptr;  // SaveDialog1
  QFileDialog* m_openDialog = nullptr;  // OpenDialog2
  QString m_lastSaved;
  QString m_lastOpened;
  FileChooser m_chooseFile;
  ByteWriter m_writeFile = writeAllBytes;
  QDialog* m_specialStrings = nullptr;
  std::unique_ptr<HidTransport> m_transport;
  std::optional<std::span<const std::uint8_t>> m_firmware;
  bool m_uploadRunning = false;

  std::optional<HistoryStore> m_history;
  std::optional<std::string> m_chosenSerial;
  FieldStore m_saved;  // the settings last read, written, loaded or saved
  CloseQuestion m_askClose;
  QMenu* m_recentMenu = nullptr;
  QMenu* m_trackerMenu = nullptr;
  QAction* m_verifyAction = nullptr;
  QAction* m_backupAction = nullptr;
  QList<QPair<QAction*, QWidget*>> m_buttonActions;  // entries that do what a command button does
  QList<QAction*> m_busyActions;                     // the other entries off while busy
  QFileDialog* m_firmwareDialog = nullptr;
  QFileDialog* m_compareDialog = nullptr;
  QFileDialog* m_exportDialog = nullptr;
  QString m_lastFirmware;
  QString m_lastCompared;
  QString m_lastExported;
  FindSettingWindow* m_find = nullptr;
  bool m_preferencesWarned = false;
};

}  // namespace trekmor

// The main window: command buttons, the tab tree of every settings field, the
// log pane and the progress bar. Its widgets hold the configuration.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "image/image.h"
#include "ui/qtfields.h"
#include "ui/qtui.h"

class QDialog;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace trekmor {

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  QtFields& fields() { return m_fields; }
  QtUserInterface& userInterface() { return *m_ui; }
  const Image& writeImage() const { return m_writeImage; }

  // The window that "Special strings" shows modally.
  void setSpecialStringsWindow(QDialog* window) { m_specialStrings = window; }

  // Seeds the image stamp of the next packs; by default the current time.
  void setStampSeed(std::optional<std::uint32_t> seed) { m_stampSeed = seed; }

 public slots:
  void Button_write_configClick();
  void Button_read_configClick();
  void Button_upload_firmwareClick();
  void Button_save_to_fileClick();
  void Button_read_from_fileClick();
  void Button_special_stringsClick();

 private:
  QWidget* buildCommandRow();
  void wireSettings();
  // Packs the write image; on a failed check or conversion error shows its box.
  bool packWriteImage();

  QtFields m_fields;
  std::unique_ptr<QtUserInterface> m_ui;
  QTabWidget* m_pages = nullptr;
  QPlainTextEdit* m_log = nullptr;
  QProgressBar* m_progress = nullptr;
  Image m_writeImage{};
  Image m_readImage{};
  std::optional<std::uint32_t> m_stampSeed;
  QDialog* m_specialStrings = nullptr;
};

}  // namespace trekmor

// The window's own share of the device operations: Write config, Read config
// and the firmware upload through the real main window (log pane and progress
// bar updated as in use, the window shown on the offscreen platform), against
// the in-process simulator answering at once. A real device adds about one
// millisecond of USB polling per exchange; what is measured here is what the
// tool adds on top.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <vector>

#include "sim/transport.h"
#include "ui/mainwindow.h"

namespace {

using namespace trekmor;

struct Bench {
  sim::DeviceSimulator device;
  std::unique_ptr<MainWindow> window;
  QPlainTextEdit* log = nullptr;

  Bench() : window(std::make_unique<MainWindow>()) {
    window->setTransport(std::make_unique<sim::SimulatedTransport>(device));
    window->setStampSeed(1);
    // The device information box after a read would wait for the user.
    window->userInterface().setBoxSink([](QtUserInterface::Box, const QString&, const QString&) {});
    window->show();
    QApplication::processEvents();
    log = window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  }
  QPushButton* button(const char* name) { return window->findChild<QPushButton*>(QString::fromLatin1(name)); }
  // The log pane as after start-up; not part of the measured flow.
  void clearLog(benchmark::State& state) {
    state.PauseTiming();
    log->clear();
    QApplication::processEvents();
    state.ResumeTiming();
  }
};

void BM_WriteConfig(benchmark::State& state) {
  Bench bench;
  QPushButton* write = bench.button("Button_write_config");
  for (auto _ : state) {
    write->click();
    bench.clearLog(state);
  }
  if (bench.device.eeprom() != bench.window->writeImage()) state.SkipWithError("the image did not reach the device");
}
BENCHMARK(BM_WriteConfig)->Unit(benchmark::kMillisecond);

void BM_ReadConfig(benchmark::State& state) {
  Bench bench;
  bench.button("Button_write_config")->click();
  QPushButton* read = bench.button("Button_read_config");
  for (auto _ : state) {
    read->click();
    bench.clearLog(state);
  }
  if (bench.window->readImage() != bench.window->writeImage()) state.SkipWithError("the image was not read back");
}
BENCHMARK(BM_ReadConfig)->Unit(benchmark::kMillisecond);

// 53248 bytes, 1664 blocks, with the window's message processing between blocks.
void BM_UploadFirmware(benchmark::State& state) {
  Bench bench;
  std::vector<std::uint8_t> firmware(53248);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 13);
  bench.window->setFirmwareImage(firmware);
  QPushButton* upload = bench.button("Button_upload_firmware");
  for (auto _ : state) {
    upload->click();
    bench.clearLog(state);
  }
  if (bench.device.receivedFirmware() != firmware) state.SkipWithError("the firmware did not arrive whole");
}
BENCHMARK(BM_UploadFirmware)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

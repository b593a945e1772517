// Whole-program runs: the unchanged configurator, offscreen, with the device
// simulator in place of hidapi (LD_PRELOAD) and a driver that clicks its
// buttons. Two processes meet in the simulator's EEPROM file.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "image/image.h"
#include "tests/support/version.h"

namespace {

const QString kFound = QStringLiteral("log: APRS Trekmor found, vid: Vid_0483, pid: A052");

struct ProcessRun {
  int exitCode = -1;
  QStringList lines;
  QString errors;
};

class Configurator : public ::testing::Test {
 protected:
  ProcessRun run(const QString& clicks, const QStringList& simulatorSettings) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : env.keys()) {
      if (name.startsWith(QStringLiteral("TREKMOR_"))) env.remove(name);
    }
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TREKMOR_DEVSIM) + QLatin1Char(':') +
                                                 QStringLiteral(TREKMOR_E2E_DRIVER));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Under the sanitizers the preloaded libraries come before the runtime's own.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    env.insert(QStringLiteral("TREKMOR_E2E_CLICKS"), clicks);
    env.insert(QStringLiteral("TREKMOR_E2E_OUT"), out());
    env.insert(QStringLiteral("TREKMOR_SIM_EEPROM"), eeprom());
    // The window's remembered settings and its history stay in the run's folder.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TREKMOR_HISTORY_DIR"), m_dir.filePath(QStringLiteral("history")));
    // A user's locale with a decimal comma: no text the program shows may follow it.
    env.insert(QStringLiteral("LOCPATH"), QStringLiteral(TREKMOR_TEST_LOCALES));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    for (const QString& setting : simulatorSettings) {
      env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    }
    QFile::remove(out());
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TREKMOR_CONFIGURATOR), {});
    ProcessRun result;
    if (!process.waitForFinished(120000)) {
      process.kill();
      process.waitForFinished();
      ADD_FAILURE() << "the configurator did not finish";
      return result;
    }
    result.exitCode = process.exitCode();
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    QFile file(out());
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      result.lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
      EXPECT_EQ(result.lines.value(0), QStringLiteral("decimal point: ,")) << "the locale was not in force";
      if (!result.lines.isEmpty()) result.lines.removeFirst();
    }
    return result;
  }
  QString out() const { return m_dir.filePath(QStringLiteral("run.txt")); }
  QString eeprom() const { return m_dir.filePath(QStringLiteral("eeprom.bin")); }

  QTemporaryDir m_dir;
};

QStringList counted(const QString& prefix, int to, int total) {
  QStringList out;
  for (int k = 1; k <= to; ++k) out << QStringLiteral("log: %1%2/%3").arg(prefix).arg(k).arg(total);
  return out;
}

TEST_F(Configurator, WritesInOneProcessAndReadsBackInAnother) {
  ASSERT_TRUE(m_dir.isValid());
  const ProcessRun write = run(QStringLiteral("Button_write_config"), {});
  ASSERT_EQ(write.exitCode, 0) << write.errors.toStdString();
  QStringList expected{kFound};
  expected << counted(QStringLiteral("Page written: "), 160, 160) << QStringLiteral("log: Eeprom write success");
  EXPECT_EQ(write.lines, expected);

  QFile file(eeprom());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  ASSERT_EQ(bytes.size(), 5120);
  trekmor::Image image;
  std::copy(bytes.begin(), bytes.end(), image.begin());
  EXPECT_TRUE(trekmor::checkImageIntegrity(image));
  EXPECT_EQ(trekmor::textAt(image, 6, 7), trekmor::testing::configVersion());

  const ProcessRun read = run(QStringLiteral("Button_read_config"),
                       {QStringLiteral("TREKMOR_SIM_HARDWARE=Bench unit"),
                        QStringLiteral("TREKMOR_SIM_SERIAL=0123456789abcdef00112233")});
  ASSERT_EQ(read.exitCode, 0) << read.errors.toStdString();
  expected = QStringList{kFound};
  expected << counted(QStringLiteral("Page read: "), 160, 160) << QStringLiteral("log: Eeprom read success.") << kFound
           << QString::fromStdString("box: APRS Trekmor Configurator|Firmware version: " + trekmor::testing::version() +
                                    "\\nHardware version: Bench unit\\nSerial number: 0123456789ABCDEF00112233");
  EXPECT_EQ(read.lines, expected);
}

TEST_F(Configurator, UploadFirmware) {
  const QString received = m_dir.filePath(QStringLiteral("firmware.bin"));
  const ProcessRun upload =
      run(QStringLiteral("Button_upload_firmware"), {QStringLiteral("TREKMOR_SIM_FIRMWARE_OUT=") + received});
  ASSERT_EQ(upload.exitCode, 0) << upload.errors.toStdString();
  ASSERT_FALSE(upload.lines.isEmpty());
  EXPECT_EQ(upload.lines.front(), kFound);
#ifdef TREKMOR_CARRIED_FIRMWARE
  // The carried image went out whole, its last block completed with zeros.
  QFile carried(QStringLiteral(TREKMOR_CARRIED_FIRMWARE));
  ASSERT_TRUE(carried.open(QIODevice::ReadOnly));
  QByteArray expected = carried.readAll();
  expected.append(QByteArray((32 - expected.size() % 32) % 32, '\0'));
  QFile got(received);
  ASSERT_TRUE(got.open(QIODevice::ReadOnly));
  EXPECT_EQ(got.readAll(), expected);
  EXPECT_EQ(upload.lines.back(), QStringLiteral("log: Firmware upgrade success"));
#else
  EXPECT_EQ(upload.lines, (QStringList{kFound, QStringLiteral("box: Information|Firmware resource not found "
                                                              "(FindResource).")}));
  EXPECT_FALSE(QFile::exists(received));
#endif
}

TEST_F(Configurator, DeviceProblemsSeenFromOutside) {
  struct Case {
    const char* name;
    QStringList settings;
    QString clicks;
    QStringList expected;
  };
  const Case cases[] = {
      {"absent", {QStringLiteral("TREKMOR_SIM_ABSENT=1")}, QStringLiteral("Button_write_config,Button_read_config"),
       {QStringLiteral("log: APRS Trekmor not found."), QStringLiteral("log: APRS Trekmor not found.")}},
      {"firmware 1.11",
       {QStringLiteral("TREKMOR_SIM_FIRMWARE_VERSION=111")},
       QStringLiteral("Button_write_config"),
       {kFound, QString::fromStdString("box: Information|Uncompatible firmware version:\\nDevice: 1.11\\nConfigurator: " +
                                      trekmor::testing::version() +
                                      "\\n\\nYou need to upload new firmware using \"Upload firmware\" button.")}},
      {"write fails at page 3",
       {QStringLiteral("TREKMOR_SIM_FAULT=write-fail@3")},
       QStringLiteral("Button_write_config"),
       {kFound, QStringLiteral("log: Page written: 1/160"), QStringLiteral("log: Page written: 2/160"),
        QStringLiteral("log: Page written: 3/160"), QStringLiteral("log: Page write error: 4/160")}},
  };
  for (const Case& c : cases) {
    const ProcessRun result = run(c.clicks, c.settings);
    EXPECT_EQ(result.exitCode, 0) << c.name << result.errors.toStdString();
    EXPECT_EQ(result.lines, c.expected) << c.name;
  }
}

TEST_F(Configurator, DeviceThatCannotBeOpenedPointsToTheUdevRule) {
  const ProcessRun result = run(QStringLiteral("Button_read_config"), {QStringLiteral("TREKMOR_SIM_DENIED=1")});
  ASSERT_EQ(result.lines.size(), 1);
  EXPECT_TRUE(result.lines[0].startsWith(QStringLiteral("log: APRS Trekmor is connected but cannot be opened: "
                                                        "/dev/hidraw-trekmor-sim (Permission denied).")));
  EXPECT_TRUE(result.lines[0].contains(QStringLiteral("70-aprs-trekmor.rules")));
}

TEST_F(Configurator, SilentDeviceTimesOutInsteadOfHanging) {
  const ProcessRun result = run(QStringLiteral("Button_write_config"), {QStringLiteral("TREKMOR_SIM_FAULT=no-answer@0")});
  ASSERT_EQ(result.exitCode, 0);
  ASSERT_EQ(result.lines.size(), 2);
  EXPECT_EQ(result.lines[0], kFound);
  EXPECT_TRUE(result.lines[1].startsWith(
      QStringLiteral("box: Information|APRS Trekmor did not answer the firmware version query.")));
}

TEST_F(Configurator, MalformedSimulatorSettingStopsWithItsReason) {
  const ProcessRun result = run(QStringLiteral("Button_write_config"), {QStringLiteral("TREKMOR_SIM_FAULT=explode@1")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(result.errors.contains(QStringLiteral("trekmor-devsim: TREKMOR_SIM_FAULT: unknown fault \"explode@1\"")))
      << result.errors.toStdString();
}

}  // namespace

#include "ui/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace trekmor {

namespace {

constexpr const char* kRecentFiles = "files/recent";

std::unique_ptr<QSettings> store() {
  // INI everywhere: one plain file, also on Windows, instead of the registry.
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("aprs-trekmor"),
                                     QStringLiteral("configurator"));
}

QString problemOf(const QSettings& settings, const char* doing) {
  if (settings.status() == QSettings::NoError) return {};
  return QStringLiteral("The window's settings file %1 cannot be %2.")
      .arg(QDir::toNativeSeparators(settings.fileName()), QString::fromLatin1(doing));
}

QString written(QSettings& settings) {
  settings.sync();
  return problemOf(settings, "written");
}

}  // namespace

QStringList withRecentFile(QStringList list, const QString& file) {
  const QString absolute = QFileInfo(file).absoluteFilePath();
  list.removeAll(absolute);
  list.prepend(absolute);
  while (list.size() > kRecentFileCount) list.removeLast();
  return list;
}

QStringList Preferences::recentFiles(QString& problem) {
  const std::unique_ptr<QSettings> settings = store();
  QStringList files = settings->value(QString::fromLatin1(kRecentFiles)).toStringList();
  problem = problemOf(*settings, "read");
  files.removeAll(QString());
  while (files.size() > kRecentFileCount) files.removeLast();
  return files;
}

QString Preferences::setRecentFiles(const QStringList& files) {
  const std::unique_ptr<QSettings> settings = store();
  settings->setValue(QString::fromLatin1(kRecentFiles), files);
  return written(*settings);
}

bool Preferences::option(const char* key, QString& problem) {
  const std::unique_ptr<QSettings> settings = store();
  const bool on = settings->value(QString::fromLatin1(key), false).toBool();
  problem = problemOf(*settings, "read");
  return on;
}

QString Preferences::setOption(const char* key, bool on) {
  const std::unique_ptr<QSettings> settings = store();
  settings->setValue(QString::fromLatin1(key), on);
  return written(*settings);
}

}  // namespace trekmor

// What the window remembers between runs: the files last opened or saved and
// the two write options of the Device menu. Kept in an INI file of the user's
// (QSettings, user scope), which tests point elsewhere with QSettings::setPath.
#pragma once

#include <QString>
#include <QStringList>

namespace trekmor {

// How many files Open recent lists.
inline constexpr int kRecentFileCount = 8;

// The option keys.
inline constexpr const char* kVerifyAfterWriting = "device/verifyAfterWriting";
inline constexpr const char* kBackUpBeforeWriting = "device/backUpBeforeWriting";

// `list` with `file` first, once, and no more than kRecentFileCount files.
QStringList withRecentFile(QStringList list, const QString& file);

class Preferences {
 public:
  // Each getter leaves in `problem` why the store could not be read (empty
  // when it could); each setter returns why it could not be written.
  static QStringList recentFiles(QString& problem);
  static QString setRecentFiles(const QStringList& files);
  // Off unless the user turned it on.
  static bool option(const char* key, QString& problem);
  static QString setOption(const char* key, bool on);
};

}  // namespace trekmor

#include "device/verification.h"

#include "configfile/configfile.h"
#include "settings/fields.h"
#include "settings/pipeline.h"

namespace trekmor {

namespace {

// The settings stored in the bytes where two images differ: both unpacked
// over the start values, without the version test, and compared setting by setting.
std::string settingsInBytesThatDiffer(const Image& written, const Image& readBack) {
  FieldStore a = FieldStore::withStartValues();
  FieldStore b = FieldStore::withStartValues();
  unpackSettings(written, a, silentInterface());
  unpackSettings(readBack, b, silentInterface());
  std::string names;
  for (const SettingDifference& difference : settingDifferences(a, b)) {
    names += (names.empty() ? "" : ", ") + settingName(*difference.field);
  }
  return names;
}

}  // namespace

std::vector<std::string> verificationFindings(DeviceOutcome outcome, std::size_t firstDifferingPage,
                                              const Image& written, const Image& readBack) {
  const std::string pages = std::to_string(kPageCount);
  if (outcome == DeviceOutcome::Done) return {"Verified: all " + pages + " pages read back as written."};
  if (outcome != DeviceOutcome::VerifyMismatch) return {"Verification failed: the configuration could not be read back."};
  const std::string settings = settingsInBytesThatDiffer(written, readBack);
  return {"Verification failed: page " + std::to_string(firstDifferingPage + 1) + "/" + pages +
              " read back differs from what was written.",
          settings.empty() ? "The bytes that differ hold no setting (version, stamp, end marker, checksum or unused bytes)."
                           : "Settings whose bytes differ: " + settings};
}

}  // namespace trekmor

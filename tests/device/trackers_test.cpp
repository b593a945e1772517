// The choice among the trackers present, and the simulator's fleet of them.
#include <gtest/gtest.h>

#include <map>

#include "device/trackers.h"
#include "sim/simulator.h"
#include "sim/transport.h"

namespace trekmor {
namespace {

using Status = TrackerChoice::Status;

const TrackerInfo kFirst{"/dev/hidraw3", "300024000F5138333536A07F"};
const TrackerInfo kSecond{"/dev/hidraw7", "300024000F5138333536A080"};

TEST(TrackerChoice, RulesForNoneOneSeveralAndUnknown) {
  const std::vector<TrackerInfo> none, one{kFirst}, two{kFirst, kSecond};
  const struct {
    const char* name;
    const std::vector<TrackerInfo>& present;
    TrackerRequest request;
    Status status;
    std::optional<TrackerInfo> tracker;
  } cases[] = {
      {"none present, none asked", none, {}, Status::FirstFound, {}},
      {"one present, none asked", one, {}, Status::FirstFound, {}},
      {"two present, none asked", two, {}, Status::Several, {}},
      {"serial of the second", two, {"300024000F5138333536A080", {}}, Status::Chosen, kSecond},
      {"serial in lower case", two, {"300024000f5138333536a080", {}}, Status::Chosen, kSecond},
      {"serial of the only one", one, {"300024000F5138333536A07F", {}}, Status::Chosen, kFirst},
      {"a serial's beginning is no serial", two, {"300024000F51", {}}, Status::UnknownSerial, {}},
      {"serial not present", two, {"00112233445566778899AABB", {}}, Status::UnknownSerial, {}},
      {"serial with none present", none, {"300024000F5138333536A07F", {}}, Status::UnknownSerial, {}},
      {"path of the first", two, {{}, "/dev/hidraw3"}, Status::Chosen, kFirst},
      {"path not present", two, {{}, "/dev/hidraw9"}, Status::UnknownPath, {}},
  };
  for (const auto& c : cases) {
    const TrackerChoice choice = chooseTracker(c.present, c.request);
    EXPECT_EQ(choice.status, c.status) << c.name;
    EXPECT_EQ(choice.tracker, c.tracker) << c.name;
  }
}

TEST(SimulatedFleet, EachTrackerHasItsOwnSerialAndEepromFile) {
  sim::Settings first;
  first.devices = 3;
  first.eepromFile = "ee.bin";
  first.faults = {{sim::FaultKind::WriteFail, 2}};
  const std::vector<sim::Settings> fleet = sim::fleetSettings(first);
  ASSERT_EQ(fleet.size(), 3u);
  const std::string serials[] = {"300024000F5138333536A07F", "300024000F5138333536A080", "300024000F5138333536A081"};
  const std::string files[] = {"ee.bin", "ee.bin.2", "ee.bin.3"};
  for (std::size_t k = 0; k < fleet.size(); ++k) {
    EXPECT_EQ(sim::serialText(fleet[k].serial), serials[k]);
    EXPECT_EQ(fleet[k].eepromFile, files[k]);
    EXPECT_EQ(fleet[k].faults, first.faults) << "the faults apply to every tracker";
  }
  first.eepromFile.clear();
  EXPECT_EQ(sim::fleetSettings(first)[2].eepromFile, "") << "an EEPROM in memory stays in memory";
}

TEST(SimulatedFleet, CountFromOneToEight) {
  const struct {
    const char* value;
    std::optional<int> devices;
  } cases[] = {{"1", 1}, {"8", 8}, {"0", {}}, {"9", {}}, {"two", {}}, {"", {}}};
  for (const auto& c : cases) {
    static std::map<std::string, std::string> values;
    values = {{"TREKMOR_SIM_DEVICES", c.value}};
    const auto lookup = [](const char* name) -> const char* {
      const auto it = values.find(name);
      return it == values.end() ? nullptr : it->second.c_str();
    };
    std::string error;
    const auto settings = sim::settingsFromEnvironment(lookup, &error);
    EXPECT_EQ(settings.has_value(), c.devices.has_value()) << c.value;
    if (settings && c.devices) {
      EXPECT_EQ(settings->devices, *c.devices) << c.value;
    } else {
      EXPECT_NE(error.find("TREKMOR_SIM_DEVICES"), std::string::npos) << error;
    }
  }
}

TEST(SimulatedTransport, OpensOnlyTheChosenPath) {
  sim::DeviceSimulator device;
  sim::SimulatedTransport transport(device);
  const std::vector<TrackerInfo> present = transport.trackers();
  ASSERT_EQ(present.size(), 1u);
  EXPECT_EQ(present[0].serial, "300024000F5138333536A07F");
  transport.choose("/dev/hidraw-gone");
  EXPECT_EQ(transport.open().status, HidTransport::OpenStatus::NotFound) << "unplugged since the listing";
  transport.choose(present[0].path);
  EXPECT_EQ(transport.open().status, HidTransport::OpenStatus::Opened);
  EXPECT_EQ(transport.openedTracker(), present[0]);
}

}  // namespace
}  // namespace trekmor

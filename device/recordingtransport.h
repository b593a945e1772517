// Every configuration image that passes between the program and a tracker,
// kept in the history without anyone asking: a transport that watches the
// page reads and writes of each opening of the device and, when the device is
// closed, records the whole image that was read, and the image that was
// written (or the part sent before a write broke off). It changes nothing
// that passes through it, so that every flow behaves as it does without it,
// and a history that cannot be written costs one warning, never the operation.
#pragma once

#include <bitset>
#include <optional>

#include "device/flows.h"
#include "device/transport.h"
#include "history/store.h"

namespace trekmor {

class RecordingTransport final : public HidTransport {
 public:
  // `store` null: no history folder is known, which the first entry warns of.
  RecordingTransport(HidTransport& inner, const HistoryStore* store, HistoryWarning warn);
  ~RecordingTransport() override;
  RecordingTransport(const RecordingTransport&) = delete;
  RecordingTransport& operator=(const RecordingTransport&) = delete;

  // The next opening that reads pages records its image as `event` (a
  // configuration kept before a write or a firmware upload) instead of "read".
  void labelNextRead(HistoryEvent event) { m_label = event; }

  // The entries this transport stored, oldest first.
  const std::vector<HistoryEntry>& stored() const { return m_stored; }

  OpenResult open() override;
  void close() override;
  bool send(const Report& request) override;
  bool receive(Report& reply, std::chrono::milliseconds timeout) override;
  std::vector<TrackerInfo> trackers() override { return m_inner.trackers(); }
  void choose(std::optional<std::string> path) override { m_inner.choose(std::move(path)); }
  std::optional<TrackerInfo> openedTracker() const override { return m_inner.openedTracker(); }

 private:
  void finishOpening();
  void record(HistoryEvent event, const Image& image, int brokeOffAtPage);

  HidTransport& m_inner;
  const HistoryStore* m_store;
  HistoryWarning m_warn;
  bool m_warned = false;
  std::optional<HistoryEvent> m_label;
  std::vector<HistoryEntry> m_stored;

  // The opening under way.
  bool m_open = false;
  std::string m_serial;
  std::optional<Report> m_request;  // sent, its reply not yet received
  Image m_read{};
  std::bitset<kPageCount> m_pagesRead;
  bool m_readTried = false;
  Image m_written{};
  std::bitset<kPageCount> m_pagesWritten;
  bool m_writeTried = false;
  int m_brokeOffAtPage = 0;
  // The firmware the tracker last reported; a verification's read-back asks
  // for none and keeps the one of its write.
  std::optional<std::uint32_t> m_firmware;
};

// What a tracker holds, read for keeping before a firmware upload: like the
// page reads of "Read config", but whatever firmware version the device
// reports, since an upload is what a device with the wrong one needs. Fails
// when the device is not found, does not answer the version query or a page
// does not arrive.
DeviceOutcome readHeldImage(UserInterface& ui, HidTransport& transport, Image& image);

// Reads what the tracker holds and keeps it in the history as `event` (before
// a write or a firmware upload); false, with the reason told, when it could
// not be read.
bool keepHeldConfiguration(UserInterface& ui, RecordingTransport& transport, HistoryEvent event);

}  // namespace trekmor

#include "device/recordingtransport.h"

#include <algorithm>

#include "device/link.h"
#include "device/pages.h"
#include "image/bytes.h"

namespace trekmor {

namespace {

std::uint16_t numberIn(const Report& report) { return static_cast<std::uint16_t>(getLE(report, kNumberOffset, 2)); }

Block payloadOf(const Report& report) { return Block(report.data() + kPayloadOffset, kBlockSize); }

}  // namespace

RecordingTransport::RecordingTransport(HidTransport& inner, const HistoryStore* store, HistoryWarning warn)
    : m_inner(inner), m_store(store), m_warn(std::move(warn)) {
  setReplyTimeout(inner.replyTimeout());
}

RecordingTransport::~RecordingTransport() { finishOpening(); }

HidTransport::OpenResult RecordingTransport::open() {
  finishOpening();
  m_inner.setReplyTimeout(replyTimeout());
  OpenResult result = m_inner.open();
  if (result.status == OpenStatus::Opened) {
    m_open = true;
    const std::optional<TrackerInfo> tracker = m_inner.openedTracker();
    m_serial = tracker ? tracker->serial : std::string();
  }
  return result;
}

void RecordingTransport::close() {
  m_inner.close();
  finishOpening();
}

bool RecordingTransport::send(const Report& request) {
  const bool sent = m_inner.send(request);
  m_request.reset();
  if (!m_open) return sent;
  const bool write = request[kCommandByte] == static_cast<std::uint8_t>(Command::WritePage);
  const std::uint16_t page = numberIn(request);
  if (write && page < kPageCount) {
    m_writeTried = true;
    const Block bytes = payloadOf(request);
    std::copy(bytes.begin(), bytes.end(), m_written.begin() + page * kPageSize);
  }
  if (request[kCommandByte] == static_cast<std::uint8_t>(Command::ReadPage)) m_readTried = true;
  if (sent) {
    m_request = request;
  } else if (write && m_brokeOffAtPage == 0) {
    m_brokeOffAtPage = page + 1;
  }
  return sent;
}

bool RecordingTransport::receive(Report& reply, std::chrono::milliseconds timeout) {
  const bool received = m_inner.receive(reply, timeout);
  if (!m_open || !m_request) return received;
  const Report request = *m_request;
  m_request.reset();
  const std::uint16_t page = numberIn(request);
  switch (static_cast<Command>(request[kCommandByte])) {
    case Command::FirmwareVersion:
      if (received && replyIs(reply, Command::FirmwareVersion)) {
        m_firmware = static_cast<std::uint32_t>(getLE(reply, kReplyValueOffset, 4));
      }
      break;
    case Command::ReadPage: {
      // A page counts as read when the flow would take it: its command and its sum.
      const Block bytes = payloadOf(reply);
      if (received && page < kPageCount && replyIs(reply, Command::ReadPage) &&
          blockSum(bytes) == getLE(reply, kSumOffset, 2)) {
        std::copy(bytes.begin(), bytes.end(), m_read.begin() + page * kPageSize);
        m_pagesRead.set(page);
      }
      break;
    }
    case Command::WritePage:
      if (page >= kPageCount) break;
      if (received && replyIs(reply, Command::WritePage)) {
        m_pagesWritten.set(page);
      } else if (m_brokeOffAtPage == 0) {
        m_brokeOffAtPage = page + 1;
      }
      break;
    default:
      break;
  }
  return received;
}

void RecordingTransport::finishOpening() {
  if (!m_open) return;
  m_open = false;
  m_request.reset();
  if (m_writeTried) {
    int brokeOff = m_brokeOffAtPage;
    // Pages never sent, though none failed, end the write as a failure would.
    for (std::size_t page = 0; brokeOff == 0 && page < kPageCount; ++page) {
      if (!m_pagesWritten.test(page)) brokeOff = static_cast<int>(page) + 1;
    }
    if (brokeOff != 0) std::fill(m_written.begin() + (brokeOff - 1) * kPageSize, m_written.end(), 0);
    record(HistoryEvent::Written, m_written, brokeOff);
  }
  if (m_readTried) {
    const HistoryEvent event = m_label.value_or(HistoryEvent::Read);
    m_label.reset();
    if (m_pagesRead.all()) record(event, m_read, 0);
  }
  m_read.fill(0);
  m_written.fill(0);
  m_pagesRead.reset();
  m_pagesWritten.reset();
  m_readTried = m_writeTried = false;
  m_brokeOffAtPage = 0;
}

void RecordingTransport::record(HistoryEvent event, const Image& image, int brokeOffAtPage) {
  HistoryStore::Recorded recorded;
  HistoryEntry entry = makeHistoryEntry(m_serial, event, image, m_firmware, brokeOffAtPage);
  if (m_store == nullptr) {
    recorded.reason = "no folder for it is known (set TREKMOR_HISTORY_DIR)";
  } else {
    recorded = m_store->record(entry);
  }
  if (recorded.status == HistoryStore::Recorded::Status::Stored) m_stored.push_back(std::move(entry));
  if (recorded.status != HistoryStore::Recorded::Status::Failed || m_warned) return;
  // One warning for the whole operation, however many entries it makes.
  m_warned = true;
  if (m_warn) m_warn("the configuration history cannot be written: " + recorded.reason);
}

DeviceOutcome readHeldImage(UserInterface& ui, HidTransport& transport, Image& image) {
  image.fill(0);
  DeviceSession device(transport, ui);
  if (!device) return DeviceOutcome::NotFound;
  if (!queryFirmwareVersion(transport)) return DeviceOutcome::NoVersionReply;
  return readAllPages(transport, ui, image) ? DeviceOutcome::Done : DeviceOutcome::TransferFailed;
}

bool keepHeldConfiguration(UserInterface& ui, RecordingTransport& transport, HistoryEvent event) {
  transport.labelNextRead(event);
  Image held{};
  const DeviceOutcome read = event == HistoryEvent::BeforeFirmware ? readHeldImage(ui, transport, held)
                                                                   : readDeviceImage(ui, transport, held);
  if (read == DeviceOutcome::Done) return true;
  // The flow of "Read config" has told of everything else already.
  if (read == DeviceOutcome::TransferFailed ||
      (read == DeviceOutcome::NoVersionReply && event == HistoryEvent::BeforeFirmware)) {
    ui.information("The device's configuration could not be read to keep it in the history.");
  }
  return false;
}

}  // namespace trekmor

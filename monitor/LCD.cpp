#include "monitor/LCD.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "datamodel/MonitorFields.h"
#include "monitor/CommandText.h"
#include "monitor/Framing.h"
#include "platform/CLocale.h"

namespace velluma {

namespace {

constexpr int kPatternPauseMs = 125;  // after OUT and ZBL
constexpr int kChunkPauseMs = 300;    // after each acknowledged LUT chunk
constexpr int kRetryPauseMs = 500;    // before a LUT chunk is sent again
constexpr int kLutEndPauseMs = 5000;  // after the last LUT chunk
constexpr int kSpeedPauseMs = 1500;   // after each speed command
constexpr int kLutChunkEntries = 256;
constexpr int kLutChunks = UserMemoryTables::kLutEntries / kLutChunkEntries;
constexpr int kFilmGammaBlocks = UserMemoryTables::kFilmGammaEntries / kLutChunkEntries;

// Memory codes of USER1..USER3 in the film-gamma and LUT commands; the monitor's own numbers.
constexpr int kFilmGammaCodes[] = {0x1C, 0x1D, 0x1E};
constexpr int kLutCodes[] = {0x18, 0x19, 0x1A};

bool ValidMemory(int memory) {
  return memory >= 0 && memory < UserMemoryTables::kMemories;
}

// A value a field cannot carry is refused before anything is sent: cut to its field it would
// reach the monitor as another number.
template <typename Values, typename Fits>
bool AllFit(const Values& values, Fits fits) {
  return std::all_of(std::begin(values), std::end(values), fits);
}

bool LutFits(const UserMemoryTables::LutTable& lut) {
  return std::all_of(lut.begin(), lut.end(),
                     [](const auto& channel) { return AllFit(channel, FitsHexField); });
}

}  // namespace

int LCD::linkKind_ = 0;
int LCD::monitorId_ = 0;

LCD::LCD(int kind, const std::string& portName, int /*speed*/, const LinkEnvironment& environment)
    : environment_(environment), port_(environment.clock) {
  LineSettings line;
  line.speed = kLineSpeed;
  line.parity =
      kind == static_cast<int>(framing::LinkKind::Addressed) ? Parity::Even : Parity::None;
  // A failure leaves the port unusable; exchanges then fail with CommunicationError.
  if (!port_.Open(portName, line)) return;
  speedNote_.emplace(port_.DevicePath());
  RecoverNotedSpeed();
}

// A run killed during a LUT transfer left the monitor at its fast speed, where it hears nothing
// at 9600: it is sent back from the noted speed before anything else is said to it.
void LCD::RecoverNotedSpeed() {
  const std::optional<int> noted = speedNote_->Read();
  if (!noted) return;
  if (*noted != kLineSpeed && port_.SetSpeed(*noted)) {
    const bool sent = SendPlain("speed9600") == LinkResult::Ok;
    if (sent) environment_.clock.Pause(kSpeedPauseMs);
    port_.SetSpeed(kLineSpeed);
    port_.Purge();
    if (!sent) return;  // the note stays for a run that can send it
    recoveredSpeed_ = *noted;
  }
  speedNote_->Remove();
}

LCD::~LCD() = default;

LinkResult LCD::BeginSession() {
  return LinkResult::Ok;
}

LinkResult LCD::EndSession() {
  return LinkResult::Ok;
}

LinkResult LCD::SetMonitorId(int kind, int id) {
  linkKind_ = kind;
  monitorId_ = id;
  return LinkResult::Ok;
}

// A stopped transfer has no text of its own: it is never shown in a box.
std::string LCD::ErrorText(LinkResult result) {
  switch (result) {
    case LinkResult::Ok:
      return "OK";
    case LinkResult::CommunicationError:
      return "Communication Error";
    case LinkResult::ChecksumError:
      return "Checksum Error";
    case LinkResult::Nack:
      return "NACK";
    default:
      return "Other Error";
  }
}

int LCD::ReadBytes(int count, std::uint8_t* buffer) {
  for (int i = 0; i < count; ++i)
    if (port_.ReadByte(buffer[i], kReadTimeoutMs) != SerialPort::ReadResult::Byte) return 0;
  return count;
}

int LCD::WriteBytes(int count, const std::uint8_t* data) {
  for (int written = 0; written < count;) {
    long n =
        port_.Write(data + written, static_cast<std::size_t>(count - written), kWriteTimeoutMs);
    if (n <= 0) return 0;  // failed, or no byte left within the write time-out
    written += static_cast<int>(n);
  }
  return 1;
}

// The port's input is purged before a frame goes out, never after: whatever arrived since the
// last reply (noise, a reply that came after its time-out) answers no frame of ours, while the
// reply to this frame may arrive at once, and a purge after the send would throw it away
// whenever the program was held up for longer than the monitor takes to answer.
LinkResult LCD::Send(const std::string& command, bool withChecksum) {
  if (command.size() > static_cast<std::size_t>(framing::kMaxCommand))
    return LinkResult::CommunicationError;
  const auto frame = framing::BuildFrame(command, withChecksum, linkKind_, monitorId_);
  if (!port_.Purge()) return LinkResult::CommunicationError;
  if (!WriteBytes(static_cast<int>(frame.size()), frame.data()))
    return LinkResult::CommunicationError;
  ++framesSent_;
  return LinkResult::Ok;
}

LinkResult LCD::SendChecked(const std::string& command) {
  return Send(command, true);
}

LinkResult LCD::SendPlain(const std::string& command) {
  return Send(command, false);
}

int LCD::Receive(std::string& body, bool checked) {
  body.clear();
  framing::ReplyAssembler assembler;
  for (;;) {
    std::uint8_t byte;
    if (ReadBytes(1, &byte) == 0) return static_cast<int>(LinkResult::CommunicationError);
    switch (assembler.Feed(byte)) {
      case framing::ReplyAssembler::Step::More:
        continue;
      case framing::ReplyAssembler::Step::Overflow:
        return static_cast<int>(LinkResult::CommunicationError);
      case framing::ReplyAssembler::Step::Complete:
        if (checked) return framing::CheckReply(assembler.Content(), body);
        body = assembler.Content();
        return static_cast<int>(body.size());
    }
  }
}

int LCD::ReceiveChecked(std::string& body) {
  return Receive(body, true);
}

int LCD::ReceivePlain(std::string& body) {
  return Receive(body, false);
}

int LCD::ReceivePlainNoPurge(std::string& body) {
  return Receive(body, false);
}

LinkResult LCD::Exchange(const std::string& command, bool checkedSend, bool checkedReply,
                         const char* expected, int pauseMs) {
  if (const LinkResult sent = Send(command, checkedSend); sent != LinkResult::Ok) return sent;
  std::string reply;
  const int received = checkedReply ? ReceiveChecked(reply) : ReceivePlain(reply);
  if (received <= 0) return ResultOfRead(received);  // an empty reply counts as success
  if (reply != expected) return LinkResult::Nack;
  if (pauseMs > 0) environment_.clock.Pause(pauseMs);
  return LinkResult::Ok;
}

int LCD::Query(const std::string& command, std::string& reply) {
  if (const LinkResult sent = SendPlain("MCO:1"); sent != LinkResult::Ok)
    return static_cast<int>(sent);
  if (const std::optional<int> ended = AskInsideBracket(command, reply)) {
    // A monitor that answered inside the bracket with an error is let out of remote mode as the
    // bracket would have; a silent one is not waited for a second time.
    if (ResultOfRead(*ended) == LinkResult::Nack) CloseBracket();
    return *ended;
  }
  return CloseBracket();
}

// The reply to "MCO:1" and the command's own exchange: the query's result when it ends here,
// nothing when the bracket is to be closed.
std::optional<int> LCD::AskInsideBracket(const std::string& command, std::string& reply) {
  std::string bracket;
  constexpr int kNack = static_cast<int>(LinkResult::Nack);
  if (int received = ReceivePlain(bracket); received <= 0) return received;
  if (bracket != "MCO") return kNack;
  if (const LinkResult sent = SendPlain(command); sent != LinkResult::Ok)
    return static_cast<int>(sent);
  if (int received = ReceivePlain(reply); received <= 0) return received;
  if (reply.rfind("ER0", 0) == 0) return kNack;
  return std::nullopt;
}

int LCD::CloseBracket() {
  if (const LinkResult sent = SendPlain("MCO:0"); sent != LinkResult::Ok)
    return static_cast<int>(sent);
  std::string bracket;
  const int received = ReceivePlain(bracket);
  if (received <= 0) return received;
  return bracket == "MCO" ? received : static_cast<int>(LinkResult::Nack);
}

LinkResult LCD::ShowPattern(int r, int g, int b) {
  return Exchange(command_text::ShowPatternText(r, g, b), false, true, "BOK", kPatternPauseMs);
}

LinkResult LCD::SetZbl(int value) {
  return Exchange(FormatC("ZBL:%03d", value), false, false, "ZBL", kPatternPauseMs);
}

LinkResult LCD::WritePrimaries(const std::array<float, 9>& values) {
  if (!AllFit(values, FitsDecimalField)) return LinkResult::Nack;
  return Exchange("G$M:WDC" + command_text::DecimalFields(values), true, true, "G$M", 0);
}

LinkResult LCD::WriteGreyRamp(int channel, const std::array<float, 256>& values) {
  if (!AllFit(values, FitsDecimalField)) return LinkResult::Nack;
  const char* header = channel == 0 ? "G$M:WDW0" : channel == 1 ? "G$M:WDW1" : "G$M:WDW2";
  return Exchange(header + command_text::DecimalFields(values), true, true, "G$M", 0);
}

LinkResult LCD::WriteFilmGamma(int memory, const UserMemoryTables::FilmGammaTable& table) {
  if (!ValidMemory(memory)) return LinkResult::Nack;
  if (!AllFit(table, FitsHexField)) return LinkResult::Nack;
  for (int block = 0; block < kFilmGammaBlocks; ++block) {
    if (environment_.stopRequested()) return LinkResult::Stopped;
    const std::string header = FormatC("WCG:01000%03X%01X00", kFilmGammaCodes[memory], block);
    const auto entries = std::span(table).subspan(block * kLutChunkEntries, kLutChunkEntries);
    const LinkResult result =
        Exchange(header + command_text::HexFields(entries), true, true, "BOK", 0);
    if (result != LinkResult::Ok) return result;
  }
  return LinkResult::Ok;
}

// Sends one speed command at the present speed, waits for the monitor to switch, then follows
// with the port. False when the command could not be sent (nothing switched). The speed is noted
// before the monitor leaves 9600 and the note removed once it is back, so that a run killed in
// between leaves word for the next.
bool LCD::SendSpeedCommand(int speed, const std::string& command) {
  const bool leaving = speed != kLineSpeed;
  if (leaving && speedNote_) speedNote_->Write(speed);
  if (SendPlain(command) != LinkResult::Ok) {
    if (leaving && speedNote_) speedNote_->Remove();
    return false;
  }
  environment_.clock.Pause(kSpeedPauseMs);
  port_.SetSpeed(speed);  // as the monitor has switched, a refused speed shows in the replies
  if (!leaving && speedNote_) speedNote_->Remove();
  return true;
}

// After a transfer that failed or was stopped at the fast speed, monitor and port go back to
// 9600, so that the next start of the program or the next settings dialog finds a link that
// answers. A command that could not be sent leaves the note for the next run.
void LCD::FallBackToLineSpeed() {
  const bool sent = SendPlain("speed9600") == LinkResult::Ok;  // no reply comes
  environment_.clock.Pause(kSpeedPauseMs);
  port_.SetSpeed(kLineSpeed);
  if (sent && speedNote_) speedNote_->Remove();
}

// One chunk, sent once more after a first refusal; refused twice in a row: Nack.
LinkResult LCD::SendLutChunk(const std::string& command) {
  for (int attempt = 0;; ++attempt) {
    SendChecked(command);  // a send failure shows as a missing reply
    std::string reply;
    const int received = ReceivePlainNoPurge(reply);
    if (received > 0 && reply == "C$M") {
      environment_.clock.Pause(kChunkPauseMs);
      return LinkResult::Ok;
    }
    if (attempt == 1) {
      const std::string chunk = command.substr(0, 17);
      lutFailure_ =
          received < 0 ? "gave no reply to " + chunk : "refused " + chunk + ": \"" + reply + "\"";
      return LinkResult::Nack;
    }
    environment_.clock.Pause(kRetryPauseMs);
  }
}

LinkResult LCD::SendLutChunks(int memory, const UserMemoryTables::LutTable& table) {
  if (!ValidMemory(memory)) return LinkResult::Nack;
  const int code = kLutCodes[memory];
  for (int channel = 0; channel < UserMemoryTables::kLutChannels; ++channel) {
    const auto& entries = table[channel];
    for (int chunk = 0; chunk < kLutChunks; ++chunk) {
      const std::string header =
          FormatC("C$M:WF%04X%1X%06X", 2 * kLutChunkEntries, channel, 4096 * code + 256 * chunk);
      const auto values = std::span(entries).subspan(chunk * kLutChunkEntries, kLutChunkEntries);
      if (environment_.stopRequested()) return LinkResult::Stopped;
      const LinkResult result = SendLutChunk(header + command_text::HexFields(values));
      if (result != LinkResult::Ok) return result;
    }
  }
  environment_.clock.Pause(kLutEndPauseMs);
  return LinkResult::Ok;
}

LinkResult LCD::WriteLut(int memory, const UserMemoryTables::LutTable& table) {
  lutFailure_.clear();
  if (!LutFits(table)) return LinkResult::Nack;
  if (environment_.stopRequested()) return LinkResult::Stopped;
  const int speed = environment_.monitorSpeed();
  const bool fast = speed != kLineSpeed;
  if (fast && !SendSpeedCommand(speed, FormatC("speed%d", speed)))
    return LinkResult::CommunicationError;
  const LinkResult result =
      fast && !port_.Purge() ? LinkResult::CommunicationError : SendLutChunks(memory, table);
  if (result == LinkResult::Ok && environment_.monitorSpeed() != kLineSpeed) {
    if (!SendSpeedCommand(kLineSpeed, "speed9600")) {
      if (fast) FallBackToLineSpeed();
      return LinkResult::CommunicationError;
    }
    return port_.Purge() ? LinkResult::Ok : LinkResult::CommunicationError;
  }
  if (result != LinkResult::Ok && fast) FallBackToLineSpeed();
  return result;
}

}  // namespace velluma

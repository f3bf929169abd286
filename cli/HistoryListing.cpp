#include "cli/HistoryListing.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "cli/ExitStatus.h"
#include "platform/CLocale.h"

namespace velluma::cli {

namespace {

bool Digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD" of a day the calendar has (2024-02-29, not 2026-02-30).
bool IsDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text.substr(0, 4)) ||
      !Digits(text.substr(5, 2)) || !Digits(text.substr(8, 2)))
    return false;
  const int month = Number(text.substr(5, 2));
  const int day = Number(text.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(Number(text.substr(0, 4)), month);
}

// "THH:MM:SSZ".
bool IsTimeOfDay(std::string_view text) {
  return text.size() == 10 && text[0] == 'T' && text[3] == ':' && text[6] == ':' &&
         text[9] == 'Z' && Digits(text.substr(1, 2)) && Digits(text.substr(4, 2)) &&
         Digits(text.substr(7, 2)) && Number(text.substr(1, 2)) < 24 &&
         Number(text.substr(4, 2)) < 60 && Number(text.substr(7, 2)) < 61;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

// The length of the well-formed UTF-8 sequence that starts at `at` (no overlong form, no
// surrogate, nothing past U+10FFFF); 0 when the byte there starts none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range, narrower after some leads
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

bool IsControl(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead < 0x20 || lead == 0x7F;
  return sequence.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
}

// A field of the table as a terminal shows it on one line: a control character (a line break, a
// tab, the ESC of an escape sequence) or a byte that is not UTF-8 shows as '?', as ls shows it.
std::string Printable(std::string_view text) {
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    const std::string_view sequence = text.substr(at, std::max<std::size_t>(length, 1));
    if (length == 0 || IsControl(sequence))
      shown += '?';
    else
      shown += sequence;
    at += sequence.size();
  }
  return shown;
}

// The outcome's first line: the rest of a report is for the JSON lines.
std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  std::replace(line.begin(), line.end(), '\t', ' ');
  return Printable(line);
}

// A JSON string of any bytes: UTF-8 as it is, a byte that is not UTF-8 as U+FFFD (the
// replacement character), so the line is valid JSON whatever a name holds.
std::string Json(std::string_view text) {
  std::string quoted = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    const auto c = static_cast<unsigned char>(text[at]);
    if (length == 0) {
      quoted += "\\ufffd";
      ++at;
      continue;
    }
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\r':
        quoted += "\\r";
        break;
      default:
        if (c < 0x20)
          quoted += FormatC("\\u%04x", c);
        else
          quoted += text.substr(at, length);
    }
    at += length;
  }
  return quoted + "\"";
}

void PrintRecords(const std::vector<history::Record>& records, bool json, std::ostream& out) {
  if (json) {
    for (const history::Record& record : records) out << HistoryJsonLine(record) << "\n";
  } else {
    out << HistoryTable(records);
  }
  out << std::flush;
}

}  // namespace

std::optional<std::string> SinceTime(std::string_view text) {
  if (text.size() == 10 && IsDate(text)) return std::string(text) + "T00:00:00Z";
  if (text.size() == 20 && IsDate(text.substr(0, 10)) && IsTimeOfDay(text.substr(10)))
    return std::string(text);
  return std::nullopt;
}

std::string HistoryTable(const std::vector<history::Record>& records) {
  std::string table = Padded("time (UTC)", 21) + Padded("kind", 17) + Padded("monitor", 22) +
                      Padded("instrument", 12) + Padded("result", 8) + "outcome\n";
  for (const history::Record& record : records) {
    const std::string monitor = record.monitorModel.empty()
                                    ? record.monitorPort
                                    : record.monitorModel + " " + record.monitorPort;
    std::string line = Padded(Printable(record.timeUtc), 21) +
                       Padded(std::string(history::KindName(record.kind)), 17) +
                       Padded(Printable(monitor), 22) + Padded(Printable(record.instrument), 12) +
                       Padded(std::to_string(record.resultCode), 8) + FirstLine(record.outcome);
    if (const std::string figures = history::KeyFigures(record); !figures.empty())
      line += "  [" + Printable(figures) + "]";
    table += line + "\n";
  }
  return table;
}

std::string HistoryJsonLine(const history::Record& record) {
  std::string line = "{\"id\":" + std::to_string(record.id);
  line += ",\"time\":" + Json(record.timeUtc);
  line += ",\"host\":" + Json(record.host);
  line += ",\"user\":" + Json(record.user);
  line += ",\"kind\":" + Json(history::KindName(record.kind));
  line += ",\"monitor\":{\"model\":" + Json(record.monitorModel) +
          ",\"port\":" + Json(record.monitorPort) + ",\"link\":" + Json(record.monitorLink) +
          ",\"speed\":" + std::to_string(record.monitorSpeed) + "}";
  line += ",\"instrument\":{\"model\":" + Json(record.instrument) +
          ",\"port\":" + Json(record.instrumentPort) + "}";
  line += ",\"outcome\":" + Json(record.outcome);
  line += ",\"result\":" + std::to_string(record.resultCode);
  line += ",\"figures\":{";
  for (std::size_t i = 0; i < record.figures.size(); ++i) {
    if (i > 0) line += ",";
    line += Json(record.figures[i].first) + ":" + Json(record.figures[i].second);
  }
  return line + "}}";
}

int ListHistory(const std::string& location, const history::Filter& filter, bool json,
                std::ostream& out, std::ostream& err) {
  if (const auto reason = NoHistoryReason(location)) {
    err << "history: " << *reason << std::endl;
    return kExitFailed;
  }
  try {
    const auto store = OpenHistoryStore(location, history::OpenFor::Listing);
    PrintRecords(store->Query(filter), json, out);
    return kExitDone;
  } catch (const history::HistoryDamage& damage) {
    PrintRecords(damage.Readable(), json, out);
    err << damage.what() << std::endl;
    return kExitRefused;
  } catch (const std::exception& error) {
    err << error.what() << std::endl;
    return kExitFailed;
  }
}

}  // namespace velluma::cli

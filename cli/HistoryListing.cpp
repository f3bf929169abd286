#include "cli/HistoryListing.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "cli/RunOutcome.h"
#include "history/HistoryDamage.h"
#include "history/KeyFigures.h"
#include "history/OpenHistory.h"
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

// "YYYY-MM-DD" with a month and a day that can be.
bool IsDate(std::string_view text) {
  return text.size() == 10 && text[4] == '-' && text[7] == '-' && Digits(text.substr(0, 4)) &&
         Digits(text.substr(5, 2)) && Digits(text.substr(8, 2)) && Number(text.substr(5, 2)) >= 1 &&
         Number(text.substr(5, 2)) <= 12 && Number(text.substr(8, 2)) >= 1 &&
         Number(text.substr(8, 2)) <= 31;
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

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  std::replace(line.begin(), line.end(), '\t', ' ');
  return line;
}

std::string Json(std::string_view text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
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
          quoted += static_cast<char>(c);
    }
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
    std::string line = Padded(record.timeUtc, 21) +
                       Padded(std::string(history::KindName(record.kind)), 17) +
                       Padded(monitor, 22) + Padded(record.instrument, 12) +
                       Padded(std::to_string(record.resultCode), 8) + FirstLine(record.outcome);
    if (const std::string figures = history::KeyFigures(record); !figures.empty())
      line += "  [" + figures + "]";
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
  if (const auto reason = history::NoHistoryReason(location)) {
    err << "history: " << *reason << std::endl;
    return kExitFailed;
  }
  try {
    const auto store = history::OpenHistory(location, history::OpenFor::Listing);
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

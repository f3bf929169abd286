// What a bench handle does the same on Linux and under Wine: the monitor's patch command and the
// control requests' answers. Starting, reaching and ending the bench are BenchProcessPosix.cpp's
// and BenchProcessWin32.cpp's.
#include "tests/support/BenchProcess.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

void BenchProcess::ShowPatch(int r, int g, int b) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02X%02X%02X", r & 0xFF, g & 0xFF, b & 0xFF);
  unsigned sum = 0;
  for (int i = 0; i < 6; ++i) sum += static_cast<unsigned char>(digits[i]);
  char check[4];
  std::snprintf(check, sizeof check, "%02X", sum & 0xFF);
  std::string reply = MonitorExchange(std::string("OUT") + digits + check);
  if (reply.find("BOK") == std::string::npos) {
    throw std::runtime_error("the monitor did not show the patch " + std::string(digits));
  }
}

bool BenchProcess::EndsAnswer(const std::string& text) {
  return text == ".\n" || (text.size() >= 3 && text.compare(text.size() - 3, 3, "\n.\n") == 0);
}

std::vector<std::string> BenchProcess::AnswerLines(const std::string& answer,
                                                   const std::string& request) {
  if (!EndsAnswer(answer)) throw std::runtime_error("no answer from the bench to " + request);
  std::vector<std::string> lines;
  std::istringstream stream(answer);
  for (std::string text; std::getline(stream, text) && text != ".";) lines.push_back(text);
  return lines;
}

std::map<std::string, std::string> BenchProcess::State() {
  std::map<std::string, std::string> state;
  for (const std::string& line : Request("state")) {
    size_t space = line.find(' ');
    state[line.substr(0, space)] = space == std::string::npos ? "" : line.substr(space + 1);
  }
  return state;
}

std::vector<std::string> BenchProcess::Log() {
  return Request("log");
}

void BenchProcess::AddFault(const std::string& rule) {
  std::vector<std::string> answer = Request("fault " + rule);
  if (answer != std::vector<std::string>{"ok"}) {
    throw std::runtime_error("the bench refused the fault rule \"" + rule +
                             "\": " + (answer.empty() ? "" : answer.front()));
  }
}

void BenchProcess::Clear() {
  Request("clear");
}

void BenchProcess::SelectMemory(const std::string& memory) {
  const std::vector<std::string> answer = Request("memory " + memory);
  if (answer != std::vector<std::string>{"ok"})
    throw std::runtime_error("the bench did not select " + memory + ": " +
                             (answer.empty() ? "" : answer.front()));
}

#include "cli/PrivateSettings.h"

#include <limits.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/InputFile.h"

namespace velluma::cli {

namespace {

constexpr const char* kCopyName = "/Velluma.reg";
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the signal handler removes: fixed buffers, since it may not allocate.
char signalFolder[PATH_MAX];
char signalFile[PATH_MAX];
volatile std::sig_atomic_t signalArmed = 0;
struct sigaction previousActions[std::size(kEndingSignals)];

// Removes the private copy and its folder, then lets the signal end the process as it would have.
void RemoveOnSignal(int signal) {
  if (signalArmed) {
    ::unlink(signalFile);
    ::rmdir(signalFolder);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void ArmSignalRemoval(const std::string& folder, const std::string& file) {
  std::strncpy(signalFolder, folder.c_str(), sizeof signalFolder - 1);
  std::strncpy(signalFile, file.c_str(), sizeof signalFile - 1);
  struct sigaction action {};
  action.sa_handler = RemoveOnSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &action, &previousActions[i]);
  signalArmed = 1;
}

void DisarmSignalRemoval() {
  signalArmed = 0;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
}

std::string MakePrivateFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/velluma-cli-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(),
                            "cannot make a folder for the settings");
  return pattern;
}

void Apply(SettingsStore& store, const SettingOverride& setting) {
  if (const auto* text = std::get_if<std::string>(&setting.value))
    store.WriteStringSetting(setting.name, *text);
  else
    store.WriteIntSetting(setting.name, std::get<std::int32_t>(setting.value));
}

// Only a regular file is copied: a FIFO or a folder in its place is named, with the reason.
void CopyRegularFile(const std::string& source, const std::string& copy) {
  if (const InputFile file(source); !file.IsOpen())
    throw std::runtime_error("cannot read the settings file '" + source + "': " + file.Reason());
  std::filesystem::copy_file(source, copy);
}

}  // namespace

PrivateSettings::PrivateSettings(const std::string& source,
                                 const std::vector<SettingOverride>& overrides)
    : folder_(MakePrivateFolder()) {
  const std::string copy = folder_ + kCopyName;
  ArmSignalRemoval(folder_, copy);
  try {
    if (std::filesystem::exists(source)) CopyRegularFile(source, copy);
    store_ = std::make_unique<SettingsStore>(copy);
    store_->LoadSettings();
    for (const SettingOverride& setting : overrides) Apply(*store_, setting);
  } catch (...) {
    Remove();
    throw;
  }
}

PrivateSettings::~PrivateSettings() {
  Remove();
}

void PrivateSettings::Remove() {
  DisarmSignalRemoval();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace velluma::cli

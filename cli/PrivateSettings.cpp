#include "cli/PrivateSettings.h"

#include "calibration/StationSettings.h"
#include "platform/Folders.h"
#include "platform/InterruptCleanup.h"
#include "platform/TempFolder.h"

namespace velluma::cli {

namespace {

constexpr const char* kCopyName = "/Velluma.reg";

void Apply(SettingsStore& store, const SettingOverride& setting) {
  if (const auto* text = std::get_if<std::string>(&setting.value))
    store.WriteStringSetting(setting.name, *text);
  else
    store.WriteIntSetting(setting.name, std::get<std::int32_t>(setting.value));
}

}  // namespace

PrivateSettings::PrivateSettings(const std::string& source,
                                 const std::vector<SettingOverride>& overrides)
    : folder_(MakeTemporaryFolder("velluma-cli-")) {
  const std::string copy = folder_ + kCopyName;
  ArmInterruptCleanup(folder_, copy);
  try {
    SettingsStore(source).ExportTo(copy);
    store_ = std::make_unique<SettingsStore>(copy);
    store_->LoadSettings(setting::kAll);
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
  DisarmInterruptCleanup();
  RemoveFolderTree(folder_);
}

}  // namespace velluma::cli

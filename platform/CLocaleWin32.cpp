// The C locale on the calling thread, on Windows: the C library's locale made the thread's own
// for as long as the scope lasts, set to "C", and given back afterwards.
#include <clocale>
#include <string>

#include "platform/CLocale.h"

namespace velluma {

namespace {
struct SavedLocale {
  int threadSetting;   // what _configthreadlocale said before
  std::string locale;  // the thread's locale before, by name
};
}  // namespace

ScopedCLocale::ScopedCLocale() {
  auto* saved = new SavedLocale{::_configthreadlocale(_ENABLE_PER_THREAD_LOCALE), {}};
  const char* current = std::setlocale(LC_ALL, nullptr);
  saved->locale = current ? current : "C";
  std::setlocale(LC_ALL, "C");
  previous_ = saved;
}

ScopedCLocale::~ScopedCLocale() {
  auto* saved = static_cast<SavedLocale*>(previous_);
  std::setlocale(LC_ALL, saved->locale.c_str());
  ::_configthreadlocale(saved->threadSetting);
  delete saved;
}

}  // namespace velluma

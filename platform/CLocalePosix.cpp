// The C locale on the calling thread, on POSIX: a thread's own locale object (uselocale).
#include <locale.h>

#include "platform/CLocale.h"

namespace velluma {

namespace {
locale_t CLocaleHandle() {
  static locale_t handle = ::newlocale(LC_ALL_MASK, "C", nullptr);
  return handle;
}
}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(::uselocale(CLocaleHandle())) {}

ScopedCLocale::~ScopedCLocale() {
  ::uselocale(static_cast<locale_t>(previous_));
}

}  // namespace velluma

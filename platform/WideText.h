#pragma once

// Windows only: the program keeps text as UTF-8 and calls the wide-character Win32 functions at
// the boundary, so a path or a port name in any script reaches the system as it was given.

#include <string>

namespace velluma {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// The system's text for a Win32 error code (GetLastError, or the code part of an HRESULT), in
// UTF-8 and without the trailing line end; "error N" when the system has none.
std::string SystemErrorText(unsigned long code);

}  // namespace velluma

// Windows' failures as the program's one error type.
#pragma once

#include <windows.h>

#include "core/error.h"

namespace velmora {

// A Win32 error code and the system's text for it (no trailing line end);
// code 0 is no error.
Error SystemError(unsigned long code);
// The calling thread's last error.
Error LastSystemError();
// A COM status: Win32 failures give back their Win32 code, everything else the
// HRESULT as a signed number. Success is no error.
Error ErrorFromHresult(HRESULT hr);

}  // namespace velmora

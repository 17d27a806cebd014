#include "platform/error_win.h"

#include <string>

namespace velmora {

Error SystemError(unsigned long code) {
  if (code == 0) return {};
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n && text ? std::string(text, n) : "Error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
    out.pop_back();
  return {static_cast<long>(code), out};
}

Error LastSystemError() { return SystemError(GetLastError()); }

Error ErrorFromHresult(HRESULT hr) {
  if (SUCCEEDED(hr)) return {};
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32 && HRESULT_CODE(hr) != 0)
    return SystemError(static_cast<DWORD>(HRESULT_CODE(hr)));
  Error e = SystemError(static_cast<unsigned long>(hr));
  e.number = static_cast<long>(hr);
  return e;
}

}  // namespace velmora

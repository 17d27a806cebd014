#include "platform/dde_client_win.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace velmora {
namespace {

// A client-only instance is told of little; nothing here needs an answer.
HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

BOOL CALLBACK CollectDdeWindow(HWND window, LPARAM lp) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find("dde") != std::string::npos) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(window);
  return TRUE;
}

// The top-level windows of this thread whose class names a DDE window.
std::vector<HWND> ThreadDdeWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectDdeWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

std::string DdeErrorText(unsigned number) {
  switch (number) {
    case DMLERR_NO_ERROR: return "No DDE error";
    case DMLERR_ADVACKTIMEOUT: return "The DDE server did not answer an advise request in time";
    case DMLERR_BUSY: return "The DDE server is busy";
    case DMLERR_DATAACKTIMEOUT: return "The DDE server did not answer a data request in time";
    case DMLERR_DLL_NOT_INITIALIZED: return "DDE was not initialized for this program";
    case DMLERR_DLL_USAGE: return "This DDE instance may not carry out that kind of transaction";
    case DMLERR_EXECACKTIMEOUT: return "The DDE server did not acknowledge the command in time";
    case DMLERR_INVALIDPARAMETER: return "A DDE call was given an invalid parameter";
    case DMLERR_LOW_MEMORY: return "The DDE partner has fallen too far behind and memory is low";
    case DMLERR_MEMORY_ERROR: return "Not enough memory for the DDE operation";
    case DMLERR_NOTPROCESSED: return "The DDE server did not carry out the transaction";
    case DMLERR_NO_CONV_ESTABLISHED: return "No DDE conversation could be opened with the application";
    case DMLERR_POKEACKTIMEOUT: return "The DDE server did not answer a poke in time";
    case DMLERR_POSTMSG_FAILED: return "A DDE message could not be posted";
    case DMLERR_REENTRANCY: return "A DDE transaction is already waiting for its answer";
    case DMLERR_SERVER_DIED: return "The DDE partner ended the conversation";
    case DMLERR_SYS_ERROR: return "An internal error occurred in the DDE library";
    case DMLERR_UNADVACKTIMEOUT: return "The DDE server did not answer the end of an advise loop in time";
    case DMLERR_UNFOUND_QUEUE_ID: return "The DDE transaction is not known";
    default: return "DDE error number " + std::to_string(number);
  }
}

DdeClient::DdeClient() = default;

DdeClient::~DdeClient() = default;

bool DdeClient::Fail(unsigned number) {
  if (number == DMLERR_NO_ERROR) number = DMLERR_SYS_ERROR;
  error_ = {static_cast<long>(number), DdeErrorText(number)};
  return false;
}

// The DDEML instance lives as long as its conversation: every instance keeps
// windows of its own, and a failed attempt would otherwise leave them behind
// until the program ends.
//
// Wine's DdeConnect also leaves the window it made for a conversation that
// never started, even past the instance's end; with no conversation left on
// this thread, the DDE windows that came with the attempt are ours to close.
bool DdeClient::Connect(const std::string& service, const std::string& topic) {
  Disconnect();
  error_ = {};
  const std::vector<HWND> before = ThreadDdeWindows();
  if (const UINT result = instance_.InitializeClient(ClientCallback); result != DMLERR_NO_ERROR)
    return Fail(result);
  {
    const DdeString serviceName(instance_.get(), service.c_str());
    const DdeString topicName(instance_.get(), topic.c_str());
    if (!serviceName.get() || !topicName.get())
      Fail(DdeGetLastError(instance_.get()));
    else
      conversation_.reset(DdeConnect(instance_.get(), serviceName.get(), topicName.get(), nullptr));
    if (!conversation_ && !error_) Fail(DdeGetLastError(instance_.get()));
  }
  if (conversation_) return true;
  instance_.Reset();
  for (HWND window : ThreadDdeWindows())
    if (std::find(before.begin(), before.end(), window) == before.end()) DestroyWindow(window);
  return false;
}

bool DdeClient::Execute(const std::string& command, DWORD timeoutMs) {
  error_ = {};
  if (!conversation_) return Fail(DMLERR_NO_CONV_ESTABLISHED);
  // TIMEOUT_ASYNC would turn this into an asynchronous transaction, whose
  // result is not a success flag.
  if (timeoutMs == TIMEOUT_ASYNC) --timeoutMs;
  std::string data = command;  // DDEML takes a non-const pointer
  DWORD result = 0;
  // The command travels with its terminating NUL, as servers expect.
  const HDDEDATA done =
      DdeClientTransaction(reinterpret_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size() + 1),
                           conversation_.get(), nullptr, CF_TEXT, XTYP_EXECUTE, timeoutMs, &result);
  // A synchronous execute returns TRUE rather than a data handle: nothing to free.
  if (!done) return Fail(DdeGetLastError(instance_.get()));
  return true;
}

void DdeClient::Disconnect() {
  conversation_.reset();
  instance_.Reset();
}

}  // namespace velmora

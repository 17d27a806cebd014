// A DDE client conversation through DDEML: connect to a service and topic,
// send commands, disconnect. Used for the shell's Find dialog and for browsers
// that take web addresses by DDE.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <string>

#include "core/error.h"
#include "platform/handles_win.h"

namespace velmora {

// English text for a DMLERR_* code (DDEML errors have no system message text).
std::string DdeErrorText(unsigned number);

// A DDEML client with at most one conversation at a time; its DDEML instance
// is started by Connect and ended with the conversation. DDEML ties
// an instance to the thread that made it, and that thread must run a message
// loop: create, use and destroy it on a window thread.
class DdeClient {
 public:
  DdeClient();
  ~DdeClient();
  DdeClient(const DdeClient&) = delete;
  DdeClient& operator=(const DdeClient&) = delete;

  // Ends any conversation first. False with LastError set when no server
  // answers for this service and topic.
  bool Connect(const std::string& service, const std::string& topic);
  // Sends `command` as ANSI text and waits up to `timeoutMs` for the server's
  // acknowledgement. False when it is refused, times out or nothing is connected.
  bool Execute(const std::string& command, DWORD timeoutMs = 5000);
  void Disconnect();

  bool Connected() const { return conversation_.valid(); }
  // The DDEML error code (DMLERR_*) of the last failure and its text.
  Error LastError() const { return error_; }

 private:
  bool Fail(unsigned number);

  DdeInstance instance_;
  DdeConversation conversation_;
  Error error_;
};

}  // namespace velmora

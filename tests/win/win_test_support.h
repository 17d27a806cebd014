// What the Windows tests share: a scratch folder, a DDE server standing in for
// a browser, and waiting for a result while this thread's messages flow.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui_win.h"

namespace velmora::wintest {

// Runs this thread's messages until `done` holds; false after a generous wait.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    // As the program's own loop does: dialog keys and accelerators first.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchWithChain(msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// A fresh folder under the temporary folder, removed with everything in it,
// read-only files too, at the end.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "vltest-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter_++);
    RemoveTree(path_);  // left over from a run that crashed
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }  // no trailing "\"
  std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

 private:
  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(path);
        else
          DeleteFileA(path.c_str());
      } while (FindNextFileA(find, &found));
      FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
  }
  static inline int counter_ = 0;
  std::string path_;
};

// Offers one service and topic on a thread of its own and records every
// command sent to it, byte for byte up to the terminating NUL. Commands
// beginning with "[Refuse" are answered as not processed.
class TestDdeServer {
 public:
  TestDdeServer(std::string service, std::string topic)
      : service_(std::move(service)), topic_(std::move(topic)) {
    current_ = this;
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, 30000);
  }
  ~TestDdeServer() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
    current_ = nullptr;
  }
  TestDdeServer(const TestDdeServer&) = delete;
  TestDdeServer& operator=(const TestDdeServer&) = delete;

  bool Running() const { return running_; }
  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }
  bool AllTerminated() {
    std::lock_guard<std::mutex> lock(mutex_);
    return unterminated_ == 0;
  }

 private:
  void Run() {
    threadId_ = GetCurrentThreadId();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before anyone posts
    const UINT init = DdeInitializeA(&instance_, Callback,
                                     APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_REQUESTS |
                                         CBF_FAIL_POKES | CBF_SKIP_ALLNOTIFICATIONS,
                                     0);
    if (init == DMLERR_NO_ERROR) {
      serviceName_ = DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
      topicName_ = DdeCreateStringHandleA(instance_, topic_.c_str(), CP_WINANSI);
      running_ = DdeNameService(instance_, serviceName_, nullptr, DNS_REGISTER) != nullptr;
    }
    SetEvent(ready_);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (init == DMLERR_NO_ERROR) {
      DdeNameService(instance_, serviceName_, nullptr, DNS_UNREGISTER);
      DdeFreeStringHandle(instance_, serviceName_);
      DdeFreeStringHandle(instance_, topicName_);
      DdeUninitialize(instance_);
    }
  }

  static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ service, HDDEDATA data,
                                    ULONG_PTR, ULONG_PTR) {
    TestDdeServer* self = current_;
    switch (type) {
      case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            DdeCmpStringHandles(topic, self->topicName_) == 0 &&
            DdeCmpStringHandles(service, self->serviceName_) == 0));
      case XTYP_EXECUTE: {
        const DWORD size = DdeGetData(data, nullptr, 0, 0);
        std::string bytes(size, '\0');
        DdeGetData(data, reinterpret_cast<BYTE*>(bytes.data()), size, 0);
        const size_t end = bytes.find('\0');
        std::lock_guard<std::mutex> lock(self->mutex_);
        if (end == std::string::npos) ++self->unterminated_;
        self->commands_.push_back(bytes.substr(0, end));
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            self->commands_.back().rfind("[Refuse", 0) == 0 ? DDE_FNOTPROCESSED : DDE_FACK));
      }
      default:
        return nullptr;
    }
  }

  static inline TestDdeServer* current_ = nullptr;
  std::string service_, topic_;
  HANDLE ready_ = nullptr;
  std::thread thread_;
  DWORD threadId_ = 0;
  DWORD instance_ = 0;
  HSZ serviceName_ = nullptr, topicName_ = nullptr;
  bool running_ = false;
  std::mutex mutex_;
  std::vector<std::string> commands_;
  int unterminated_ = 0;
};

}  // namespace velmora::wintest

// The DDE client against a small DDEML server running on a thread of its own.

#include <windows.h>
#include <ddeml.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dde_client_win.h"

namespace velmora {
namespace {

// Offers one service and topic and records every command sent to it, byte for
// byte up to the terminating NUL. Commands beginning with "[Refuse" are
// answered as not processed.
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

  static TestDdeServer* current_;
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

TestDdeServer* TestDdeServer::current_ = nullptr;

TEST(DdeClient, CommandsArriveByteExact) {
  TestDdeServer server("VLTestSrv", "Cmds");
  ASSERT_TRUE(server.Running());

  DdeClient client;
  EXPECT_FALSE(client.LastError());
  ASSERT_TRUE(client.Connect("VLTestSrv", "Cmds")) << client.LastError().description;
  EXPECT_TRUE(client.Connected());

  const std::string findFolder = "[FindFolder(\"\",0)]";
  const std::string openUrl = "\"http://example.com/a?q=\"x\"&b=1\",,-1,0,,,,";
  EXPECT_TRUE(client.Execute(findFolder)) << client.LastError().description;
  EXPECT_TRUE(client.Execute(openUrl)) << client.LastError().description;
  EXPECT_FALSE(client.LastError());

  // A refusal by the server is a failure with its own number.
  EXPECT_FALSE(client.Execute("[Refuse()]"));
  EXPECT_EQ(client.LastError().number, static_cast<unsigned>(DMLERR_NOTPROCESSED));
  EXPECT_FALSE(client.LastError().description.empty());

  // The conversation goes on after a refusal; service and topic ignore case.
  EXPECT_TRUE(client.Execute("[Again]"));
  ASSERT_TRUE(client.Connect("vltestsrv", "CMDS")) << client.LastError().description;
  EXPECT_TRUE(client.Execute("[Reconnected]"));
  client.Disconnect();
  EXPECT_FALSE(client.Connected());

  EXPECT_EQ(server.Commands(),
            (std::vector<std::string>{findFolder, openUrl, "[Refuse()]", "[Again]", "[Reconnected]"}));
  EXPECT_TRUE(server.AllTerminated()) << "a command arrived without its NUL";
}

TEST(DdeClient, NoConversationWithoutAServer) {
  TestDdeServer server("VLTestSrv", "Cmds");
  ASSERT_TRUE(server.Running());

  DdeClient client;
  EXPECT_FALSE(client.Connect("VLNobodySrv", "Cmds"));
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(client.LastError().number, static_cast<unsigned>(DMLERR_NO_CONV_ESTABLISHED));
  EXPECT_FALSE(client.LastError().description.empty());

  // A service that is there, with a topic it does not offer.
  EXPECT_FALSE(client.Connect("VLTestSrv", "Other"));
  EXPECT_EQ(client.LastError().number, static_cast<unsigned>(DMLERR_NO_CONV_ESTABLISHED));

  EXPECT_FALSE(client.Execute("[FindFolder(\"\",0)]"));
  EXPECT_EQ(client.LastError().number, static_cast<unsigned>(DMLERR_NO_CONV_ESTABLISHED));

  // After a failure the client connects as usual.
  ASSERT_TRUE(client.Connect("VLTestSrv", "Cmds"));
  EXPECT_FALSE(client.LastError());
  client.Disconnect();
  EXPECT_FALSE(client.Execute("[Late]"));
  EXPECT_TRUE(server.Commands().empty());
}

}  // namespace
}  // namespace velmora

// The DDE client against a small DDEML server running on a thread of its own.

#include <windows.h>
#include <ddeml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dde_client_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

using wintest::TestDdeServer;

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

struct WindowTally {
  DWORD pid = GetCurrentProcessId();
  int count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowTally*>(lp)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND top, LPARAM lp) {
  auto* tally = reinterpret_cast<WindowTally*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  if (pid != tally->pid) return TRUE;
  ++tally->count;
  EnumChildWindows(top, CountChild, lp);
  return TRUE;
}

// Windows of this process, children included.
int ProcessWindows() {
  WindowTally tally;
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&tally));
  return tally.count;
}

// A search through a browser that takes no DDE tries a conversation first,
// every time: failed attempts leave no DDE windows behind. (Wine's DDEML keeps
// the client window of a conversation that did take place after its end; that
// one is Wine's and is not counted here.)
TEST(DdeClient, FailedAttemptsLeaveNoWindowsBehind) {
  TestDdeServer server("VLTestSrv", "Cmds");
  ASSERT_TRUE(server.Running());
  DdeClient client;
  EXPECT_FALSE(client.Connect("VLNobodySrv", "Cmds"));
  const int before = ProcessWindows();
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(client.Connect("VLNobodySrv", "Cmds"));
    EXPECT_FALSE(client.Connect("VLTestSrv", "Other"));
  }
  EXPECT_EQ(ProcessWindows(), before);
  // And the client still works.
  ASSERT_TRUE(client.Connect("VLTestSrv", "Cmds")) << client.LastError().description;
  EXPECT_TRUE(client.Execute("[After]"));
  client.Disconnect();
  EXPECT_EQ(server.Commands(), std::vector<std::string>{"[After]"});
}

}  // namespace
}  // namespace velmora

// Web front end without any browser: after the idle limit every screen is answered as Back
// would be, so the plug-in ends its session, and the host is told once.
#include "std_api.h"
#include "vaz_contracts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gTold;
void told(const char *address, const char *action, void *) { gTold.push_back(std::string(address) + "|" + action); }

TEST(WebFrontEnd, WithoutABrowserEveryScreenIsAnsweredAsBack) {
  ASSERT_EQ(StdUseWeb("127.0.0.1:0", 1), 0) << StdLastError();
  EXPECT_EQ(std::string(StdWebUrl()).rfind("http://127.0.0.1:", 0), 0u) << StdWebUrl();
  EXPECT_STREQ(StdWebNetworkUrls(), "");  // loopback: reachable from this machine only
  StdSetWebActionHook(told, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(StdWebWaitForBrowser(1), -1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));

  struct Case {
    const char *screen;
    int (*show)();
    int back;
  };
  const Case cases[] = {
      {"menu", [] { return InitMenuID(1), AddMenuTextID(2), ShowMenuGetSelectedItem(0, 0, 0); }, -1},
      {"confirmation", [] { return ShowMessageBoxID(1, 2, 3); }, 3},
      {"question", [] { return ShowMessageBoxID(1, 2, 2); }, 0},
      {"number box", [] { return InputIntegerID(1, 2); }, VAZ_INPUT_CANCELLED},
      {"live data", [] { return InitDataStream(), AddDataStreamItem(1, "5"), ShowDataStream(); }, 1},
      {"panel", [] { return InitActiveTest(2, 1u, 2u), ShowActiveTestItem(); }, 1},
  };
  for (const Case &c : cases) EXPECT_EQ(c.show(), c.back) << c.screen;
  EXPECT_EQ(gTold, std::vector<std::string>{"|no browser for the idle limit: the session was ended"});

  StdSetWebActionHook(nullptr, nullptr);
  StdEndSession();
  StdUseScript("");
}

TEST(WebFrontEnd, RefusesAnAddressItCannotServe) {
  for (const char *address : {"garage.local:80", "127.0.0.1:99999", "[::1", "192.0.2.1:8080"})
    EXPECT_EQ(StdUseWeb(address, 1), -1) << address;
  EXPECT_STRNE(StdLastError(), "");
}

}  // namespace

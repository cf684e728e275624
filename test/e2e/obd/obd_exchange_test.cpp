// The plug-in's OBD helpers end to end: libVAZ_OLD.so binds its slots to the real
// libCOMM_ABSTRACT_LAYER.so, whose OBD-II bus carries the frames to the simulated responder.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "vaz_old.h"
#include "workbench.h"

namespace {

using Frame = std::vector<unsigned char>;

// The plug-in's routines and the interface's control functions, resolved in the libraries the
// workbench loaded (the plug-in binds its slots to that same interface).
struct Bench {
  vazdiag::Workbench workbench{VAZ_BUILD_DIR};
  void *vci = dlopen(VAZ_BUILD_DIR "libCOMM_ABSTRACT_LAYER.so", RTLD_NOW | RTLD_NOLOAD);

  template <typename F>
  F plugin(const char *name) const {
    return reinterpret_cast<F>(workbench.pluginSymbol(name));
  }
  template <typename F>
  F control(const char *name) const {
    return reinterpret_cast<F>(dlsym(vci, name));
  }

  decltype(&OpenAbstractCommDll) open_comm = plugin<decltype(&OpenAbstractCommDll)>("OpenAbstractCommDll");
  decltype(&OBD_Set_Sum) set_sum = plugin<decltype(&OBD_Set_Sum)>("OBD_Set_Sum");
  decltype(&OBD_Set_CRC) set_crc = plugin<decltype(&OBD_Set_CRC)>("OBD_Set_CRC");
  decltype(&Send_Recv_ISO_Frame) iso = plugin<decltype(&Send_Recv_ISO_Frame)>("Send_Recv_ISO_Frame");
  decltype(&Send_Recv_ISO_Frame_Multi) iso_multi =
      plugin<decltype(&Send_Recv_ISO_Frame_Multi)>("Send_Recv_ISO_Frame_Multi");
  decltype(&Send_Recv_PwmOBD_Frame) pwm = plugin<decltype(&Send_Recv_PwmOBD_Frame)>("Send_Recv_PwmOBD_Frame");
  TOKEN_OLD_T *token = plugin<TOKEN_OLD_T *>("TOKEN_OLD");

  void (*reset)() = control<void (*)()>("VciReset");
  void (*virtual_clock)(int) = control<void (*)(int)>("VciUseVirtualClock");
  int (*select_car)(const char *) = control<int (*)(const char *)>("VciSelectCar");
  int (*car_option)(const char *, const char *) = control<int (*)(const char *, const char *)>("VciCarOption");
  int (*inject)(const char *, int, int, int,
                int) = control<int (*)(const char *, int, int, int, int)>("VciInjectFault");
  const char *(*trace)() = control<const char *(*)()>("VciTraceText");
  int (*select_pin)(unsigned char, int, int, int,
                    int) = control<int (*)(unsigned char, int, int, int, int)>("SelectPIN");
};

Bench &bench() {
  static Bench b;
  return b;
}

class ObdExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    Bench &b = bench();
    ASSERT_NE(b.vci, nullptr);
    ASSERT_TRUE(b.open_comm && b.set_sum && b.set_crc && b.iso && b.iso_multi && b.pwm && b.token);
    ASSERT_TRUE(b.reset && b.virtual_clock && b.select_car && b.car_option && b.inject && b.trace && b.select_pin);
    ASSERT_EQ(b.open_comm(), 0);
    std::memset(b.token, 0, sizeof *b.token);
    std::memset(answer, 0xCC, sizeof answer);
  }

  // A car on the line, selected as the plug-in's line set-up would have left it.
  void car(const char *name) {
    Bench &b = bench();
    b.reset();
    b.virtual_clock(1);
    ASSERT_EQ(b.select_car(name), 0);
    if (std::string(name) != "none") { ASSERT_EQ(b.car_option("engine", "idle-fixed"), 0); }
    ASSERT_EQ(b.select_pin(0, 1, 0, 7, 7), 0);
  }

  static std::string trace() { return bench().trace(); }
  static int count(const std::string &what) {
    const std::string t = trace();
    int n = 0;
    for (auto p = t.find(what); p != std::string::npos; p = t.find(what, p + 1)) ++n;
    return n;
  }
  Frame head(std::size_t n) const { return Frame(answer, answer + n); }

  // Length-prefixed requests with an empty check slot.
  unsigned char iso_rpm[7] = {0x06, 0x68, 0x6A, 0xF1, 0x01, 0x0C, 0x00};
  unsigned char pwm_rpm[7] = {0x06, 0x61, 0x6A, 0xF1, 0x01, 0x0C, 0x00};
  unsigned char answer[344];
};

TEST_F(ObdExchange, IsoFrameBuiltBySumIsAnsweredAndMovedToTheBufferStart) {
  car("obd-iso");
  EXPECT_EQ(bench().set_sum(iso_rpm), 1);
  EXPECT_EQ(iso_rpm[6], 0xD0);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 1);
  EXPECT_EQ(head(8), (Frame{0x48, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x3D}));
  EXPECT_EQ(count("T> 68 6A F1 01 0C D0\n"), 1);
  EXPECT_EQ(count("E< 48 6B 10 41 0C 0D 20 3D\n"), 1);
}

TEST_F(ObdExchange, IsoFrameIsRetriedUpToFourTimes) {
  car("obd-iso");
  bench().set_sum(iso_rpm);
  ASSERT_EQ(bench().inject("no-answer", 0x01, 0, 0, 3), 0);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 1) << "the fourth attempt is answered";
  EXPECT_EQ(count("T> 68 6A F1 01 0C D0\n"), 4);
  EXPECT_EQ(head(8), (Frame{0x48, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x3D}));

  car("obd-iso");
  std::memset(answer, 0xCC, sizeof answer);
  ASSERT_EQ(bench().inject("no-answer", 0x01, 0, 0, 4), 0);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 0);
  EXPECT_EQ(count("T> 68 6A F1 01 0C D0\n"), 4);
  EXPECT_EQ(count("E<"), 0);
  EXPECT_EQ(answer[0], 0xCC);
}

TEST_F(ObdExchange, IsoFrameWithAWrongChecksumIsNeverAnswered) {
  car("obd-iso");
  bench().set_sum(iso_rpm);
  iso_rpm[6] = static_cast<unsigned char>(iso_rpm[6] + 1);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 0);
  EXPECT_EQ(count("-- request checksum wrong"), 4);
}

TEST_F(ObdExchange, PwmFrameCarriesThePluginsCrc) {
  car("obd-pwm");
  EXPECT_EQ(bench().set_crc(pwm_rpm), 0x96);
  EXPECT_EQ(bench().pwm(pwm_rpm, answer), 1);
  EXPECT_EQ(count("T> 61 6A F1 01 0C 96\n"), 1);
  EXPECT_EQ(head(10), (Frame{0x01, 0x08, 0x41, 0x6B, 0x10, 0x41, 0x0C, 0x0D, 0x20, 0x60}))
      << "the PWM answer stays in the interface's layout";

  unsigned char supported[7] = {0x06, 0x61, 0x6A, 0xF1, 0x01, 0x00, 0x00};
  EXPECT_EQ(bench().set_crc(supported), 0x0A);
  EXPECT_EQ(bench().pwm(supported, answer), 1);
  EXPECT_EQ(head(12), (Frame{0x01, 0x0A, 0x41, 0x6B, 0x10, 0x41, 0x00, 0x08, 0x18, 0x00, 0x00, 0x14}));
}

TEST_F(ObdExchange, PwmResultIsOneEvenWithoutAnAnswer) {
  car("obd-iso");
  bench().set_crc(pwm_rpm);
  EXPECT_EQ(bench().pwm(pwm_rpm, answer), 1);
  EXPECT_EQ(count("-- PWM request not sent: the car is on the ISO 9141-2 bus"), 1);
  EXPECT_EQ(answer[0], 0xCC);
}

TEST_F(ObdExchange, MultiPathSendsOneRequest) {
  car("obd-iso");
  bench().set_sum(iso_rpm);
  EXPECT_EQ(bench().iso_multi(iso_rpm, 1, 2), 1);
  EXPECT_EQ(count("-- ISO request opened: 0 1 2"), 1);
  EXPECT_EQ(count("-- ISO request sent: 1 100"), 1);
  EXPECT_EQ(count("T> 68 6A F1 01 0C D0\n"), 1);
  EXPECT_EQ(count("E< 48 6B 10 41 0C 0D 20 3D\n"), 1);

  ASSERT_EQ(bench().inject("no-answer", 0x01, 0, 0, 1), 0);
  EXPECT_EQ(bench().iso_multi(iso_rpm, 1, 2), -1);
}

TEST_F(ObdExchange, NoCarOnTheBus) {
  car("none");
  bench().set_sum(iso_rpm);
  EXPECT_EQ(bench().iso_multi(iso_rpm, 1, 2), -1);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 0);
  EXPECT_EQ(count("T>"), 0);
  EXPECT_EQ(answer[0], 0xCC);
}

TEST_F(ObdExchange, SimulationValueTwoSendsNothing) {
  car("obd-iso");
  bench().set_sum(iso_rpm);
  std::memset(&bench().token->wSimulate, 2, 1);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 1);
  EXPECT_EQ(bench().iso_multi(iso_rpm, 1, 2), 1);
  EXPECT_EQ(bench().pwm(pwm_rpm, answer), 1);
  EXPECT_EQ(count("T>"), 0);
  EXPECT_EQ(answer[0], 0xCC);
  std::memset(&bench().token->wSimulate, 1, 1);
  EXPECT_EQ(bench().iso(iso_rpm, answer), 1) << "value 1 sends normally";
  EXPECT_EQ(count("T> 68 6A F1 01 0C D0\n"), 1);
}

}  // namespace

// The Bosch K-line comm routines (KWP2000 at 10416 baud): the request frames
// of each ECU family and the request each function code makes.
#include "link/bosch_frames.h"
#include "link/comm_engine.h"

namespace vaz::link {
namespace {

using namespace bosch;

constexpr LineSettings kKLine{0xFF, 10416.0f, 2.0f, 200, 800};
constexpr LineSettings kKLineShortP2{0xFF, 10416.0f, 2.0f, 80, 800};

// ECU 0x10: M1.5.4 family, M7.2, M7.9.7.
constexpr u8 kStartComm10[] = {0x05, 0x81, 0x10, 0xF1, KWP_START_COMMUNICATION, 0x03};
constexpr u8 kSession797[] = {0x07, 0x83, 0x10, 0xF1, KWP_START_DIAG_SESSION, 0x81, 0x14, 0x29};
constexpr u8 kTiming797[] = {0x0B, 0x87, 0x10, 0xF1, KWP_ACCESS_TIMING, 0x03, 0x00, 0x02, 0x00, 0x14, 0x00, 0x24};
constexpr u8 kReadCodes10[] = {0x08, 0x84, 0x10, 0xF1, KWP_READ_DTC_BY_STATUS, 0x00, 0xFF, 0x00, 0x9C};
constexpr u8 kClearCodes10[] = {0x07, 0x83, 0x10, 0xF1, KWP_CLEAR_DTC, 0xFF, 0x00, 0x97};
constexpr u8 kReadData03_10[] = {0x06, 0x82, 0x10, 0xF1, KWP_READ_DATA_BY_LOCAL_ID, 0x03, 0xA7};
constexpr u8 kReadDataA0_10[] = {0x06, 0x82, 0x10, 0xF1, KWP_READ_DATA_BY_LOCAL_ID, 0xA0, 0x44};

// ECU 0x11: M7.0.
constexpr u8 kStartComm11[] = {0x05, 0x81, 0x11, 0xF1, KWP_START_COMMUNICATION, 0x04};
constexpr u8 kSession11[] = {0x07, 0x83, 0x11, 0xF1, KWP_START_DIAG_SESSION, 0x81, 0x14, 0x2A};
constexpr u8 kTiming11[] = {0x0B, 0x87, 0x11, 0xF1, KWP_ACCESS_TIMING, 0x03, 0x32, 0x50, 0x01, 0x14, 0x00, 0xA6};
constexpr u8 kReadCodes11[] = {0x08, 0x84, 0x11, 0xF1, KWP_READ_DTC_BY_STATUS, 0x00, 0xFF, 0x00, 0x9D};
constexpr u8 kClearCodes11[] = {0x07, 0x83, 0x11, 0xF1, KWP_CLEAR_DTC, 0xFF, 0x00, 0x98};

// TesterPresent frames stay readable by the interface after arming.
u8 gTesterPresent10[] = {0x06, 0x82, 0x10, 0xF1, KWP_TESTER_PRESENT, 0x01, 0xC2};
u8 gTesterPresent11[] = {0x05, 0x81, 0x11, 0xF1, KWP_TESTER_PRESENT, 0xC1};

constexpr CodeAction kCodesM154[] = {
    {FC_CONNECT, Action::Connect, nullptr},      {FC_DISCONNECT, Action::Disconnect, nullptr},
    {FC_DONE, Action::ArmKeepAlive, nullptr},    {FC_CODES, Action::ReadStrip, kReadCodes10},
    {FC_ERASE, Action::Send, kClearCodes10},     {FC_STREAM, Action::Send, kReadData01_10},
    {FC_CURCODES, Action::Send, kReadData01_10}, {FC_ADC, Action::Send, kReadData03_10},
    {FC_LIBCMD, Action::LibCommand, nullptr},
};

constexpr CodeAction kCodesM70[] = {
    {FC_CONNECT, Action::Connect, nullptr},   {FC_DISCONNECT, Action::Disconnect, nullptr},
    {FC_DONE, Action::ArmKeepAlive, nullptr}, {FC_CODES, Action::ReadStrip, kReadCodes11},
    {FC_ERASE, Action::Send, kClearCodes11},  {FC_STREAM, Action::Send, kReadData01_11},
    {FC_ADC, Action::LibCommand, nullptr},    {FC_LIBCMD, Action::LibCommand, nullptr},
};

constexpr CodeAction kCodesM797[] = {
    {FC_CONNECT, Action::Connect, nullptr},   {FC_DISCONNECT, Action::Disconnect, nullptr},
    {FC_DONE, Action::ArmKeepAlive, nullptr}, {FC_CODES, Action::ReadStrip, kReadCodes10},
    {FC_ERASE, Action::Send, kClearCodes10},  {FC_STREAM, Action::Send, kReadData01_10},
    {FC_ADC, Action::Send, kReadData03_10},   {FC_IMMO, Action::Send, kReadDataA0_10},
    {FC_LIBCMD, Action::LibCommand, nullptr},
};

const Family kM154{.send = send_kwp,
                   .line = kKLine,
                   .startComm = kStartComm10,
                   .wakeLowMs = 25,
                   .keepAlive = gTesterPresent10,
                   .disconnect = kCloseM154,
                   .codes = kCodesM154};

const Family kM70{.send = send_kwp,
                  .line = kKLineShortP2,
                  .startComm = kStartComm11,
                  .wakeLowMs = 26,
                  .setup = Setup::FrameLayer,
                  .session = kSession11,
                  .timing = kTiming11,
                  .keepAlive = gTesterPresent11,
                  .disconnect = kClose11,
                  .codes = kCodesM70};

const Family kM797{.send = send_kwp,
                   .line = kKLine,
                   .startComm = kStartComm10,
                   .wakeLowMs = 25,
                   .setup = Setup::DirectRetryOnce,
                   .session = kSession797,
                   .timing = kTiming797,
                   .keepAlive = gTesterPresent10,
                   .disconnect = kClose10,
                   .codes = kCodesM797};

}  // namespace
}  // namespace vaz::link

extern "C" {

VAZ_EXPORT int Comm_BOSCH_M154_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kM154, funcCode, itemIndex);
}

VAZ_EXPORT int Comm_BOSCH_M70_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kM70, funcCode, itemIndex);
}

VAZ_EXPORT int Comm_BOSCH_M797_E2_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kM797, funcCode, itemIndex);
}

// The E3 unit speaks exactly as the E2 unit.
VAZ_EXPORT int Comm_BOSCH_M797_E3_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kM797, funcCode, itemIndex);
}

}  // extern "C"

// The GM ALDL comm routines (8227 baud): no wake-up and no keep-alive; one
// mode-1 read proves the link and every read fetches the whole data block.
#include "link/comm_engine.h"

namespace vaz::link {
namespace {

constexpr LineSettings kAldl{0x00, 8227.0f, 0.0f, 20, 600};

constexpr u8 kReadBlockIsfi[] = {0x05, 0xF4, 0x57, 0x01, 0x00, 0xB4};
constexpr u8 kClearIsfi[] = {0x04, 0xF4, 0x56, 0x0A, 0xAC};
constexpr u8 kReadBlockEfi[] = {0x04, 0xF4, 0x56, 0x01, 0xB5};
constexpr u8 kClearEfi[] = {0x0E, 0xF4, 0x60, 0x04, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x68};

constexpr CodeAction kCodesIsfi[] = {
    {FC_CONNECT, Action::Connect, nullptr},
    {FC_CODES, Action::ReadStrip, kReadBlockIsfi},
    {FC_STREAM, Action::ReadStrip, kReadBlockIsfi},
    {FC_ERASE, Action::Send, kClearIsfi},
};

constexpr CodeAction kCodesEfi[] = {
    {FC_CONNECT, Action::Connect, nullptr},        {FC_CODES, Action::ReadStrip, kReadBlockEfi},
    {FC_STREAM, Action::ReadStrip, kReadBlockEfi}, {FC_ERASE, Action::Send, kClearEfi},
    {FC_DONE, Action::StopKeepAlive, nullptr},
};

const Family kIsfi{.send = send_gm, .line = kAldl, .probe = kReadBlockIsfi, .codes = kCodesIsfi};

const Family kEfi{
    .send = send_gm, .line = kAldl, .stopKeepAliveFirst = true, .probe = kReadBlockEfi, .codes = kCodesEfi};

}  // namespace
}  // namespace vaz::link

extern "C" {

VAZ_EXPORT int Comm_GM_ISFI_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kIsfi, funcCode, itemIndex);
}

VAZ_EXPORT int Comm_GM_EFI_ENG(u8 funcCode, u16 itemIndex, void *) {
  return vaz::link::run_comm(vaz::link::kEfi, funcCode, itemIndex);
}

}  // extern "C"

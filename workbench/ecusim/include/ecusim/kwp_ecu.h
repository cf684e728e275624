// A KWP2000 ECU on the K line: address, wake-up state, dispatch of requests by service
// identifier to handlers, and the services every K-line ECU shares. Engine models derive
// from it, register their own services with on() and keep their data in tables.
#pragma once

#include "ecusim/kwp_frame.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ecusim {

// Negative response codes used by the models.
inline constexpr std::uint8_t kServiceNotSupported = 0x11;
inline constexpr std::uint8_t kSubFunctionNotSupported = 0x12;

class KwpEcu {
 public:
  struct Profile {
    std::uint8_t address = 0x10;
    std::array<std::uint8_t, 2> key_bytes{0xEF, 0x8F};  // StartCommunication answer
    double sleep_after_ms = 5000.0;                     // silence that puts the ECU to sleep
  };

  explicit KwpEcu(const Profile &profile);
  virtual ~KwpEcu() = default;
  KwpEcu(const KwpEcu &) = delete;
  KwpEcu &operator=(const KwpEcu &) = delete;

  std::uint8_t address() const { return profile_.address; }
  bool awake() const { return state_ == State::Awake; }
  // Moment from which the ECU counts its silence (only meaningful while awake).
  double asleep_at_ms() const { return last_heard_ms_ + profile_.sleep_after_ms; }

  // Ignition on: live values are computed from the time since this moment.
  void power_on(double now_ms) { power_on_ms_ = now_ms; }

  // The fast-initialisation pattern was driven on the line: the next frame decides.
  void hear_wakeup_pattern();
  // Something unreadable on the line (wrong checksum, wrong baud rate): a pending wake-up
  // is spoilt, nothing else happens.
  void hear_noise();
  // A checksum-valid frame on the line (whoever it is for). Returns the ECU's answer frame,
  // or nullopt when the ECU stays silent. With 'forced' the ECU takes the request as heard
  // (wake-up, silence timer) but answers these service bytes instead of carrying it out.
  std::optional<Bytes> hear(const Request &request, double now_ms, const Bytes *forced = nullptr);
  // The same into `frame`, whose room is reused; false when the ECU stays silent.
  bool hear(const Request &request, double now_ms, Bytes &frame, const Bytes *forced = nullptr);
  // Ends the communication (time-out, StopCommunication, ECU reset): the ECU sleeps until
  // the next fast initialisation and takes back whatever the tester held.
  void fall_asleep();

  // Model options ("header" and "refuse" here; models add their own). False with a reason
  // when refused. "refuse" makes the ECU answer 7F sid nrc to every request of the listed
  // services instead of carrying them out.
  virtual bool set_option(std::string_view key, std::string_view value, std::string &error);

 protected:
  using Handler = std::function<std::optional<Bytes>(const Bytes &request, double now_ms)>;

  void on(std::uint8_t sid, Handler handler);
  static Bytes negative(std::uint8_t sid, std::uint8_t nrc);
  // The room of the last answer, handed back once it was framed: a handler that builds its
  // answer in it allocates nothing in steady live data.
  Bytes take_spare() { return std::move(spare_); }
  // Seconds the engine has been running at now_ms.
  double engine_seconds(double now_ms) const { return (now_ms - power_on_ms_) / 1000.0; }
  // Answers that carry data records use the long header unless "header" is "short".
  virtual bool long_form_answer(std::uint8_t sid) const;
  // Called once when an awake ECU falls asleep.
  virtual void communication_ended() {}

 private:
  enum class State { Asleep, Waking, Awake };

  Profile profile_;
  State state_ = State::Asleep;
  double last_heard_ms_ = 0.0;
  double power_on_ms_ = 0.0;
  bool short_header_ = false;
  bool short_identification_header_ = false;
  std::map<std::uint8_t, Handler> handlers_;
  std::map<std::uint8_t, std::uint8_t> refusals_;  // "refuse": service -> negative code
  Bytes spare_;
};

}  // namespace ecusim

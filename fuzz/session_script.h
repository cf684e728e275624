// The user's side of a fuzzed session: script steps coded one byte each, so that the
// fuzzer walks the menus as freely as it shapes the ECU's answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace fuzz_session {

// Script text of `count` step bytes (one step a line, in the display host's language).
std::string script_text(const std::uint8_t *steps, std::size_t count);

// The step byte of one script line, if the coding has it (seed making).
std::optional<std::uint8_t> step_byte(const std::string &line);

}  // namespace fuzz_session

// The GM engine ECUs on the ALDL line (ISFI, EFI): one engine for the mode 1 data block, code
// clearing and mode 4 tester control, run by each model's tables. Byte meanings: gm_layout.md
// beside this folder.
#pragma once

#include "ecusim/aldl_ecu.h"

#include <memory>

namespace ecusim {

// ISFI: mode 1 message 0 data block, mode 0x0A clear codes, mode 4 tester control; "faults"
// takes the current code bytes A5..A10, "dtc" the stored codes.
std::unique_ptr<AldlEcu> make_gm_isfi_ecu();
// EFI: mode 1 data block, mode 4 tester control (a 0x40 in the third data byte clears the
// codes); one set of code bytes A5..A7 for "faults" and "dtc".
std::unique_ptr<AldlEcu> make_gm_efi_ecu();

}  // namespace ecusim

// The name of each ECU type as the screens' header shows it.
#pragma once

#include <string>

namespace vazdiag {

// "Bosch M1.5.4" for type 1, ...; the automatic detection has a name of its own.
std::string ecu_title(int ecuType);

// The ECU type a message of the automatic detection reports found, or 0.
int detected_ecu_type(unsigned textId);

}  // namespace vazdiag

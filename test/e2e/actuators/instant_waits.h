// The product's waits (the 5 s restart wait of the special tests) return at once in
// these tests; the requested seconds are recorded so that the wait can be checked.
#pragma once

#include <vector>

namespace e2e {

// Every sleep(seconds) since the last clear_waits(), in order.
const std::vector<unsigned> &waits();
void clear_waits();

}  // namespace e2e

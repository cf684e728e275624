// The M1.5.4N data list is also the body of an M7.2 data list; this header
// shares its rows.
#ifndef VAZ_FORMULAS_FORMULAS_M154_H
#define VAZ_FORMULAS_FORMULAS_M154_H

#include <span>

#include "formulas/formula_engine.h"

namespace vaz::formula {

// The 37 rows of the M1.5.4N data list.
std::span<const Row> m154n_rows();

}  // namespace vaz::formula

#endif

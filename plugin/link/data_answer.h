// Whether the answer in the buffer is the answer to the data request just sent:
// a stray frame (a late keep-alive answer, a cut block) carries no values of
// this request, and showing it would show the mechanic something the car did
// not say.
#ifndef VAZ_LINK_DATA_ANSWER_H
#define VAZ_LINK_DATA_ANSWER_H

#include "vaz_old.h"

namespace vaz::link {

// `request` is the length-prefixed frame sent, `answer` the answer buffer as the
// interface left it (before any strip). Requests that read no data pass.
bool data_answer_matches(const u8 *request, const u8 *answer);

}  // namespace vaz::link

#endif

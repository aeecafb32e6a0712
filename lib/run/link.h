// The final link before a run: externals bound to library functions or to
// routines of extension libraries, then the check of what stays external.
#pragma once

namespace zu::run {

// Frees the declaration texts that symbols bound to extension routines
// still hold (their symbol values do not own them any more).
void ReleaseLinkedTexts();

}  // namespace zu::run

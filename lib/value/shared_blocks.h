// Blocks that a record owns while other records show them without owning
// them.
//
// The interpreter copies a variable onto its stack shallowly: the copy has
// the same words without the `val` flag.  When a call made before that
// copy is used replaces the variable (a library routine writing through an
// address, a function assigning a global or storing through a reference),
// freeing the old block would leave the copy pointing at freed memory.  So
// ZuFreeByValue first looks at the records the interpreter reports as live:
// when one shows the block without owning it, the deepest such record (the
// one that lives longest) becomes its owner and nothing is freed.
#ifndef ZU_VALUE_SHARED_BLOCKS_H
#define ZU_VALUE_SHARED_BLOCKS_H

#include <cstddef>
#include <span>

#include "zu.h"

namespace zu::value {

// The records that may show a block without owning it, deepest first (the
// live part of the interpreter's stack); empty when nothing runs.  The
// first `settled` records do not change while the running function runs,
// and the first `unchanged` of them have not changed since the previous
// look, so what was found among them then still holds.
struct LiveStack {
    std::span<ZuVALUE> records;
    std::size_t settled = 0;
    std::size_t unchanged = 0;
};
using LiveRecords = LiveStack (*)();

// Installs the view of live records (null: none).
void SetLiveRecords(LiveRecords view);

// ZuFreeByValue without the look at live records: for records whose blocks
// no other record can show (temporaries the interpreter pops, while its
// view of the live records may be behind).
void FreeUnshared(ZuVALUE* v);

// ---- between the files of this folder ----

// The live records that show some block without owning it.
class LiveCopies;

// True when one of `copies` showed v's block and took it over; v then owns
// nothing more (the caller clears its words as after a free).
bool HandOver(LiveCopies& copies, const ZuVALUE* v);

// The body of ZuFreeByValue: frees v's data, each block (v's own, then each
// element's) unless `copies` (may be null) takes it over.
void FreeByValueUnless(ZuVALUE* v, LiveCopies* copies);

}  // namespace zu::value

#endif

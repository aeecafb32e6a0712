// Thrown inside a statement translator that cannot go on (nesting too deep);
// the statement is skipped up to its ";".
#pragma once

namespace g2zu {

struct StatementAbandoned {};

}  // namespace g2zu

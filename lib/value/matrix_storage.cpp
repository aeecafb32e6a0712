// Matrix blocks and the matrix cache (being written).
#include "zu.h"

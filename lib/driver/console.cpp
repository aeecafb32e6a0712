// Console layer: output, messages, input pipes (being written).
#include "zu.h"

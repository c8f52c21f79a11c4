#include "low/Low.h"

#define LOW_SIDE_HEADER "side/Side.h"
#include LOW_SIDE_HEADER

#include "Low.h"
  #  include "loose/Loose.h"

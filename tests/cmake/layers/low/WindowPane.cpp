#include "low/Low.h"
#include "low/Window.h"

#include "low/Window.h"

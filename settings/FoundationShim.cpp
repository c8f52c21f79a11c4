#include "settings/FoundationShim.h"

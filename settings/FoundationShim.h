#pragma once
// The shared services these sources use.
#include "core/modBase64Encode.h"
#include "core/modCommon.h"
#include "core/uucode.h"

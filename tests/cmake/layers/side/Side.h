#pragma once

#include "low/Low.h"

QString sideText();

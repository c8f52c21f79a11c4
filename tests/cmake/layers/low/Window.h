#pragma once

#include "low/WindowFrame.h"

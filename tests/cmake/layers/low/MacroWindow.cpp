#include "low/Low.h"

#define LOW_WINDOW_HEADER <QtWidgets/QWidget>
#include LOW_WINDOW_HEADER

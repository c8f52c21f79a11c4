#include "low/Low.h"

#include <QtWidgets/QMessageBox>

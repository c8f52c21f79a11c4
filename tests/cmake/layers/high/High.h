#pragma once

#include "low/Low.h"

#include <QWidget>

QWidget* highWidget();

#pragma once

#include <QString>

QString lowText();

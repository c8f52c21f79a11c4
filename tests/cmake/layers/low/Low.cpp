#include "low/Low.h"

#include <QtCore/QStringList>
#include <vector>

QString lowText()
{
    return QStringList{QStringLiteral("low")}.first();
}

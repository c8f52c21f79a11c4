#include "side/Side.h"

QString sideText()
{
    return lowText();
}

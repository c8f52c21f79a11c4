#include "loose/Loose.h"

int looseValue()
{
    return 1;
}

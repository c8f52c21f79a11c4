// The icon of the low layer.
#include <QIcon>

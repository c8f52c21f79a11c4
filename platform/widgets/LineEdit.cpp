#include "platform/widgets/LineEdit.h"

#include <QLineEdit>

#include <limits>

namespace platform {

QLineEdit* lineEdit(const QString& name)
{
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

} // namespace platform

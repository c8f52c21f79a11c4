#include "platform/widgets/LineEdit.h"

#include <QComboBox>
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

void setLineText(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void setLineText(QComboBox* box, const QString& text)
{
    box->setEditText(text);
    if (QLineEdit* edit = box->lineEdit())
        edit->setCursorPosition(0);
}

} // namespace platform

#include "platform/widgets/LineText.h"

#include <QComboBox>
#include <QLineEdit>

namespace platform {

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

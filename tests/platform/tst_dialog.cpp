#include "platform/widgets/Dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A dialog as the program's dialogs are made: a button that is no default
// button, a text box, and key handling of its own that takes every Enter.
class SampleDialog : public platform::Dialog
{
public:
    SampleDialog()
    {
        button = new QPushButton(QStringLiteral("Go"), this);
        button->setAutoDefault(false);
        box = new QLineEdit(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(box);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }

    QPushButton* button = nullptr;
    QLineEdit* box = nullptr;
    int clicks = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
            platform::Dialog::keyPressEvent(event);
    }
};

} // namespace

class TestDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void focusedButtonAnswersEnterAndSpace_data();
    void focusedButtonAnswersEnterAndSpace();
};

void TestDialog::focusedButtonAnswersEnterAndSpace_data()
{
    QTest::addColumn<bool>("onButton");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Return on the button") << true << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("keypad Enter on the button")
        << true << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("Space on the button") << true << int(Qt::Key_Space) << 0 << 1;
    QTest::newRow("Ctrl+Return is not a click") << true << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
    QTest::newRow("Return in the text box") << false << int(Qt::Key_Return) << 0 << 0;
}

void TestDialog::focusedButtonAnswersEnterAndSpace()
{
    QFETCH(bool, onButton);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    SampleDialog dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* target = onButton ? static_cast<QWidget*>(dialog.button) : dialog.box;
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(dialog.clicks, clicks);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"

#include "workspace/landing/LandingPageEditor.h"
#include "workspace/landing/ToolStrip.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHash>
#include <QToolButton>
#include <QtTest>

namespace {

// An editor whose state at the caret the test sets.
class FakeEditor final : public LandingPageEditor
{
public:
    int QueryStatus(int command) const override { return status.value(command, EditStatus::NotSupported); }
    QString FontName() const override { return fontName; }
    int FontSize() const override { return fontSize; }
    bool IsDirty() const override { return false; }
    QString DocumentPath() const override { return QString(); }
    void LoadDocument(const QString&) override {}
    bool SaveDocument(const QString&, QString*) override { return false; }

    QHash<int, int> status;
    QString fontName;
    int fontSize = 0;
};

// The command numbers in button order, as the editing control publishes them.
const int kButtonCommands[ToolStrip::ButtonCount] = {5000, 5023, 5048, 5030, 5051, 5018,
                                                     5031, 5025, 5024, 5026, 5046};

} // namespace

class tst_LandingToolStrip : public QObject
{
    Q_OBJECT

private slots:
    void buttonsCarryTheirTipsAndKind_data();
    void buttonsCarryTheirTipsAndKind();
    void buttonFollowsStatus_data();
    void buttonFollowsStatus();
    void eachButtonMirrorsItsOwnCommand();
    void fontNameBox_data();
    void fontNameBox();
    void fontSizeBox_data();
    void fontSizeBox();
    void otherObjectsChangeNothing();
    void clickDoesNotChangeTheMirroredState();
    void setUpFillsTheBoxes();
    void fixedFontList();
};

void tst_LandingToolStrip::buttonsCarryTheirTipsAndKind_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("checkable");
    const char* const tips[] = {"Bold",          "Italic",          "Underline",  "Numbering",
                                "Bullets",       "Decrease Indent", "Increase Indent", "Align Left",
                                "Center",        "Align Right",     "Font Color"};
    for (int i = 0; i < ToolStrip::ButtonCount; ++i)
        QTest::addRow("%d %s", i, tips[i]) << i << QString::fromLatin1(tips[i]) << (i != 10);
}

void tst_LandingToolStrip::buttonsCarryTheirTipsAndKind()
{
    QFETCH(int, entry);
    QFETCH(QString, tip);
    QFETCH(bool, checkable);
    ToolStrip strip;
    QToolButton* button = strip.findChild<QToolButton*>(QStringLiteral("ttbDHTML") + QString::number(entry));
    QVERIFY(button);
    QCOMPARE(button->toolTip(), tip);
    QCOMPARE(button->isCheckable(), checkable);
    QCOMPARE(ToolStrip::commandOf(entry), kButtonCommands[entry]);
}

void tst_LandingToolStrip::buttonFollowsStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("pressed");
    QTest::newRow("not supported") << 0 << false << false;
    QTest::newRow("disabled 1") << 1 << false << false;
    QTest::newRow("disabled 2") << 2 << false << false;
    QTest::newRow("available") << 3 << true << false;
    QTest::newRow("on at the caret") << 7 << true << true;
    QTest::newRow("mixed") << 11 << true << false;
}

void tst_LandingToolStrip::buttonFollowsStatus()
{
    QFETCH(int, status);
    QFETCH(bool, enabled);
    QFETCH(bool, pressed);
    ToolStrip strip;
    FakeEditor editor;
    // Start from the opposite state, so every button must be set.
    for (int command : kButtonCommands)
        editor.status.insert(command, pressed ? 0 : 7);
    strip.UpdateToolBarUI(&editor);
    for (int command : kButtonCommands)
        editor.status.insert(command, status);
    strip.UpdateToolBarUI(&editor);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(strip.button(i)->isEnabled(), enabled);
        QCOMPARE(strip.button(i)->isChecked(), pressed);
    }
    // "Font Color" is no check button: it is enabled or not, never pressed.
    QCOMPARE(strip.button(10)->isEnabled(), enabled);
    QVERIFY(!strip.button(10)->isChecked());
}

void tst_LandingToolStrip::eachButtonMirrorsItsOwnCommand()
{
    ToolStrip strip;
    FakeEditor editor;
    for (int on = 0; on < 10; ++on) {
        editor.status.clear();
        for (int i = 0; i < ToolStrip::ButtonCount; ++i)
            editor.status.insert(kButtonCommands[i], i == on ? 7 : 3);
        strip.UpdateToolBarUI(&editor);
        for (int i = 0; i < 10; ++i)
            QVERIFY2(strip.button(i)->isChecked() == (i == on), qPrintable(QString::number(i)));
    }
    // Only the commands that are not available disable their buttons.
    editor.status.clear();
    editor.status.insert(5000, 3);
    editor.status.insert(5046, 3);
    strip.UpdateToolBarUI(&editor);
    for (int i = 0; i < ToolStrip::ButtonCount; ++i)
        QCOMPARE(strip.button(i)->isEnabled(), i == 0 || i == 10);
}

void tst_LandingToolStrip::fontNameBox_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("available") << 3 << "Georgia" << true;
    QTest::newRow("on") << 7 << "Georgia" << true;
    QTest::newRow("mixed") << 11 << "" << true;
    QTest::newRow("disabled") << 1 << "" << false;
    QTest::newRow("not supported") << 0 << "" << false;
}

void tst_LandingToolStrip::fontNameBox()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    ToolStrip strip;
    strip.SetUp();
    FakeEditor editor;
    editor.status.insert(5013, status);
    editor.fontName = QStringLiteral("Georgia");
    strip.UpdateToolBarUI(&editor);
    QCOMPARE(strip.cboFont()->currentText(), text);
    QCOMPARE(strip.cboFont()->isEnabled(), enabled);
}

void tst_LandingToolStrip::fontSizeBox_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("size 4") << 3 << 4 << "4" << true;
    QTest::newRow("size 7 on") << 7 << 7 << "7" << true;
    QTest::newRow("size 0 empty but enabled") << 3 << 0 << "" << true;
    QTest::newRow("negative size") << 3 << -2 << "" << true;
    QTest::newRow("mixed") << 11 << 4 << "" << true;
    QTest::newRow("disabled") << 2 << 4 << "" << false;
}

void tst_LandingToolStrip::fontSizeBox()
{
    QFETCH(int, status);
    QFETCH(int, size);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    ToolStrip strip;
    strip.SetUp();
    FakeEditor editor;
    editor.status.insert(5014, status);
    editor.fontSize = size;
    strip.UpdateToolBarUI(&editor);
    QCOMPARE(strip.cboFontSize()->currentText(), text);
    QCOMPARE(strip.cboFontSize()->isEnabled(), enabled);
}

void tst_LandingToolStrip::otherObjectsChangeNothing()
{
    ToolStrip strip;
    strip.SetUp();
    FakeEditor editor;
    editor.status.insert(5000, 7);
    editor.status.insert(5013, 3);
    editor.fontName = QStringLiteral("Georgia");
    strip.UpdateToolBarUI(&editor);

    QObject other;
    QWidget widget;
    for (QObject* control : {static_cast<QObject*>(&other), static_cast<QObject*>(&widget),
                             static_cast<QObject*>(nullptr)}) {
        strip.UpdateToolBarUI(control);
        QVERIFY(strip.button(0)->isChecked());
        QVERIFY(!strip.button(1)->isEnabled());
        QCOMPARE(strip.cboFont()->currentText(), QStringLiteral("Georgia"));
        QVERIFY(!strip.cboFontSize()->isEnabled());
    }
}

void tst_LandingToolStrip::clickDoesNotChangeTheMirroredState()
{
    ToolStrip strip;
    FakeEditor editor;
    editor.status.insert(5000, 7);
    editor.status.insert(5023, 3);
    strip.UpdateToolBarUI(&editor);
    strip.button(0)->click();
    strip.button(1)->click();
    QVERIFY(strip.button(0)->isChecked());
    QVERIFY(!strip.button(1)->isChecked());
}

void tst_LandingToolStrip::setUpFillsTheBoxes()
{
    ToolStrip strip;
    strip.SetUp();
    const QStringList families = QFontDatabase::families();
    QComboBox* fonts = strip.cboFont();
    if (families.isEmpty()) {
        QCOMPARE(fonts->count(), 146);
    } else {
        QCOMPARE(fonts->count(), families.size());
        QCOMPARE(fonts->itemText(families.size() - 1), families.last());
    }
    QCOMPARE(fonts->currentIndex(), 0);
    QComboBox* sizes = strip.cboFontSize();
    QCOMPARE(sizes->count(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(sizes->itemText(i), QString::number(i + 1));
    QCOMPARE(sizes->currentText(), QStringLiteral("1"));

    // A second set-up does not add the entries again.
    strip.SetUp();
    QCOMPARE(sizes->count(), 7);
}

void tst_LandingToolStrip::fixedFontList()
{
    ToolStrip strip;
    strip.PopulateFonts();
    QComboBox* fonts = strip.cboFont();
    QCOMPARE(fonts->count(), 146);
    QCOMPARE(fonts->itemText(0), QStringLiteral("System"));
    QCOMPARE(fonts->itemText(22), QStringLiteral("Arial"));
    QCOMPARE(fonts->itemText(145), QStringLiteral("Comix"));
    QVERIFY(fonts->findText(QStringLiteral("@DotumChe")) >= 0);
    QCOMPARE(fonts->findText(QStringLiteral("DotumChe")), -1);
    QCOMPARE(fonts->findText(QStringLiteral("Dotum")), fonts->findText(QStringLiteral("@DotumChe")) - 2);
}

QTEST_MAIN(tst_LandingToolStrip)
#include "tst_landingtoolstrip.moc"

#include "workspace/AdEditor.h"

#include "CaptionFit.h"
#include "ModalWatcher.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {

struct Fixture {
    TestEnvironment env;
    ScriptedPrompter prompter;
    QWidget page;
    AdEditor editor {&page};

    template <typename T = QLineEdit>
    T* find(const char* name, int slot) const
    {
        return page.findChild<T*>(QLatin1String(name) + QString::number(slot));
    }
    QLineEdit* box(AdEditor::Box kind, int slot) const
    {
        static const char* const names[] = {"txtHeadline", "txtDescr1", "txtDescr2", "txtDisplayURL",
                                            "txtDestinationURL"};
        return find(names[kind], slot);
    }
    QLabel* counter(AdEditor::Box kind, int slot) const
    {
        static const char* const names[] = {"lblHeadlineMax", "lblDes1Max", "lblDes2Max", "lblDisURLMax",
                                            "lblDesURLMax"};
        return find<QLabel>(names[kind], slot);
    }
};

AdSlotData ad(const QString& tag)
{
    return {tag + QStringLiteral(" headline"), tag + QStringLiteral(" d1"), tag + QStringLiteral(" d2"),
            tag + QStringLiteral(".example"), QStringLiteral("http://") + tag + QStringLiteral(".example/")};
}

// Slots by a mask such as "1010" (slot 0 and 2 filled).
std::array<AdSlotData, CampaignData::AdSlotCount> slotsFrom(const QString& mask)
{
    std::array<AdSlotData, CampaignData::AdSlotCount> ads;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i)
        if (mask.at(i) == QLatin1Char('1'))
            ads[i] = ad(QStringLiteral("slot") + QString::number(i));
    return ads;
}

void sendFocus(QWidget* widget, QEvent::Type type)
{
    QFocusEvent event(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

// Asks as a real message box does: in a modal window of its own, which takes
// the activation (and the focus) from the window that asks, and is answered
// as soon as it is active. Once it is closed the window that asked is made
// active again, as most desktops do; with handsBack false it stays inactive
// until the user comes back to it, as on a desktop without a window manager.
class WindowedPrompter final : public platform::Prompter
{
public:
    explicit WindowedPrompter(platform::MsgResult answer, bool handsBack = true)
        : m_answer(answer)
        , m_handsBack(handsBack)
    {
        platform::setPrompter(this);
    }
    ~WindowedPrompter() override { platform::setPrompter(nullptr); }

    platform::MsgResult message(const platform::MessageRequest&) override
    {
        ++asked;
        QPointer<QWidget> owner = m_handsBack ? QApplication::activeWindow() : nullptr;
        QDialog box(owner);
        const ModalWatcher<QDialog> answer(
            [](QDialog& shown) {
                if (!shown.isActiveWindow())
                    return false;
                shown.accept();
                return true;
            },
            5);
        box.exec();
        if (owner)
            owner->activateWindow();
        return m_answer;
    }
    QString fileDialog(platform::FileDialogRequest&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }

    int asked = 0;

private:
    platform::MsgResult m_answer;
    bool m_handsBack;
};

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

Q_DECLARE_METATYPE(AdEditor::Box)

class TestAdEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout();
    void counter_data();
    void counter();
    void typingPastTheHeadlineLimit();
    void preview();
    void longTextsWrapInThePreview();
    void loadAndClear();
    void copyAd_data();
    void copyAd();
    void deleteAd_data();
    void deleteAd();
    void displayURLQuestion_data();
    void displayURLQuestion();
    void destinationFill_data();
    void destinationFill();
    void focusMovingOnFromDisplayURL();
    void questionInAWindowOfItsOwn_data();
    void questionInAWindowOfItsOwn();
};

void TestAdEditor::layout()
{
    Fixture f;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        auto* frame = f.page.findChild<QGroupBox*>(QStringLiteral("contAds") + QString::number(i + 1));
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("Ad #%1 (Optional)").arg(i + 1));
        for (int b = 0; b < AdEditor::BoxCount; ++b) {
            QVERIFY(f.box(AdEditor::Box(b), i));
            QVERIFY(frame->isAncestorOf(f.box(AdEditor::Box(b), i)));
        }
        QVERIFY(f.find<QWidget>("fraPreview", i));
        QCOMPARE(f.find<QLabel>("lblPreviewTitle", i)->text(), QStringLiteral("Title"));
        QCOMPARE(f.find<QLabel>("lblPreviewDescr1", i)->text(), QStringLiteral("Descr1"));
        QCOMPARE(f.find<QLabel>("lblPreviewDescr2", i)->text(), QStringLiteral("Descr2"));
        QVERIFY(f.find<QLabel>("lblPreviewURL", i));
    }
    QStringList labels;
    for (QLabel* label : f.page.findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"Headlines:", "Description1:", "Description2:", "Display URL:", "Destination URL:"})
        QCOMPARE(labels.count(QLatin1String(text)), 4);
    QCOMPARE(f.editor.limit(AdEditor::Headline), QStringLiteral("90"));
    QCOMPARE(f.editor.limit(AdEditor::Description1), QStringLiteral("90"));
    QCOMPARE(f.editor.limit(AdEditor::Description2), QStringLiteral("90"));
    QCOMPARE(f.editor.limit(AdEditor::DisplayURL), QStringLiteral("35"));
    QCOMPARE(f.editor.limit(AdEditor::DestinationURL), QStringLiteral("1024"));
}

void TestAdEditor::counter_data()
{
    QTest::addColumn<AdEditor::Box>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keptLength");
    QTest::addColumn<QString>("counterText");
    QTest::addColumn<bool>("red");
    QTest::newRow("display URL at its limit") << AdEditor::DisplayURL << QString(35, u'u') << 35 << "(35/35)"
                                              << false;
    QTest::newRow("display URL over its limit") << AdEditor::DisplayURL << QString(36, u'u') << 36 << "(36/35)"
                                                << true;
    QTest::newRow("plain headline cut at 90") << AdEditor::Headline << QString(91, u'h') << 90 << "(90/90)"
                                              << false;
    QTest::newRow("headline cut before a character of two code units")
        << AdEditor::Headline << QString(89, u'h') + QStringLiteral("\U0001F600x") << 89 << "(89/90)" << false;
    QTest::newRow("token headline not cut") << AdEditor::Headline << QStringLiteral("{base}") + QString(90, u'h')
                                            << 96 << "(96/90)" << true;
    QTest::newRow("description over its limit") << AdEditor::Description2 << QString(91, u'd') << 91
                                                << "(91/90)" << true;
    QTest::newRow("destination at its limit") << AdEditor::DestinationURL << QString(1024, u'x') << 1024
                                              << "(1024/1024)" << false;
    QTest::newRow("destination over its limit") << AdEditor::DestinationURL << QString(1025, u'x') << 1025
                                                << "(1025/1024)" << true;
    QTest::newRow("empty") << AdEditor::Description1 << QString() << 0 << "(0/90)" << false;
}

void TestAdEditor::counter()
{
    QFETCH(AdEditor::Box, kind);
    QFETCH(QString, text);
    QFETCH(int, keptLength);
    QFETCH(QString, counterText);
    QFETCH(bool, red);

    Fixture f;
    QSignalSpy edited(&f.editor, &AdEditor::edited);
    f.box(kind, 2)->setText(QStringLiteral("x"));
    f.box(kind, 2)->setText(text);
    QCOMPARE(f.box(kind, 2)->text(), text.left(keptLength));
    QCOMPARE(f.counter(kind, 2)->text(), counterText);
    QCOMPARE(textColour(f.counter(kind, 2)), red ? QColor(0xFF, 0x00, 0x00) : QColor(0x00, 0x00, 0x00));
    QVERIFY(edited.count() > 0);
    // Other slots are untouched.
    QCOMPARE(f.counter(kind, 1)->text(), QStringLiteral("(0/%1)").arg(f.editor.limit(kind)));
}

void TestAdEditor::typingPastTheHeadlineLimit()
{
    Fixture f;
    QLineEdit* headline = f.box(AdEditor::Headline, 0);
    headline->setText(QString(90, u'h'));
    QTest::keyClick(headline, Qt::Key_Z);
    QCOMPARE(headline->text(), QString(90, u'h'));

    headline->setText(QStringLiteral("{base}") + QString(84, u'h'));
    QTest::keyClick(headline, Qt::Key_Z);
    QCOMPARE(headline->text().size(), 91);
    QCOMPARE(f.counter(AdEditor::Headline, 0)->text(), QStringLiteral("(91/90)"));
    QCOMPARE(textColour(f.counter(AdEditor::Headline, 0)), QColor(0xFF, 0x00, 0x00));
}

void TestAdEditor::preview()
{
    Fixture f;
    f.box(AdEditor::Headline, 1)->setText(QStringLiteral("Red Shoes|Cheap"));
    f.box(AdEditor::Description1, 1)->setText(QStringLiteral("  Free\tdelivery  "));
    f.box(AdEditor::Description2, 1)->setText(QStringLiteral(" today "));
    f.box(AdEditor::DisplayURL, 1)->setText(QStringLiteral(" shop.example "));
    f.box(AdEditor::DestinationURL, 1)->setText(QStringLiteral("http://elsewhere.example/"));
    auto* title = f.find<QLabel>("lblPreviewTitle", 1);
    QCOMPARE(title->text(), QStringLiteral("Red Shoes|Cheap"));
    QVERIFY(title->font().underline());
    QCOMPARE(f.find<QLabel>("lblPreviewDescr1", 1)->text(), QStringLiteral("Free\tdelivery"));
    QCOMPARE(f.find<QLabel>("lblPreviewDescr2", 1)->text(), QStringLiteral("today"));
    QCOMPARE(f.find<QLabel>("lblPreviewURL", 1)->text(), QStringLiteral(" shop.example "));
    // Slot 0 keeps its design texts.
    QCOMPARE(f.find<QLabel>("lblPreviewDescr1", 0)->text(), QStringLiteral("Descr1"));
}

void TestAdEditor::longTextsWrapInThePreview()
{
    Fixture f;
    const QString words = QStringLiteral("Fast delivery on every order, friendly service and the best prices you "
                                         "can find online now");
    f.box(AdEditor::Headline, 0)->setText(QStringLiteral("Cheap red shoes for everyone|Blue shoes on sale today|Boots"));
    f.box(AdEditor::Description1, 0)->setText(words.left(90));
    f.box(AdEditor::Description2, 0)->setText(words.left(90));
    f.page.resize(760, 500);
    f.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.page));
    QCOMPARE(cutCaptions(&f.page), QStringList());
    // The editor fits the page's width; the texts take more lines instead.
    auto* preview = f.find<QWidget>("fraPreview", 0);
    QVERIFY(preview->mapTo(&f.page, QPoint(preview->width(), 0)).x() <= f.page.width());
}

void TestAdEditor::loadAndClear()
{
    Fixture f;
    QSignalSpy edited(&f.editor, &AdEditor::edited);
    auto ads = slotsFrom(QStringLiteral("1101"));
    ads[2].description1 = QStringLiteral("text under an empty headline");
    f.editor.load(ads);
    QCOMPARE(edited.count(), 0);
    QCOMPARE(f.editor.adSlots(), ads);
    QCOMPARE(f.find<QLabel>("lblPreviewTitle", 3)->text(), ads[3].headline);
    QCOMPARE(f.find<QLabel>("lblPreviewURL", 0)->text(), ads[0].displayURL);
    QCOMPARE(f.counter(AdEditor::Description1, 2)->text(), QStringLiteral("(28/90)"));

    f.editor.clear();
    QCOMPARE(edited.count(), 0);
    QCOMPARE(f.editor.adSlots(), slotsFrom(QStringLiteral("0000")));
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        for (const char* name : {"lblPreviewTitle", "lblPreviewDescr1", "lblPreviewDescr2", "lblPreviewURL"})
            QCOMPARE(f.find<QLabel>(name, i)->text(), QString());
        QCOMPARE(f.counter(AdEditor::DisplayURL, i)->text(), QStringLiteral("(0/35)"));
    }
}

void TestAdEditor::copyAd_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("copiedInto"); // -1: nothing copied
    QTest::addColumn<bool>("message");
    QTest::newRow("two filled") << "1100" << 2 << false;
    QTest::newRow("one filled") << "1000" << 1 << false;
    QTest::newRow("gap after slot 0") << "1011" << 1 << false;
    QTest::newRow("all filled") << "1111" << -1 << false;
    QTest::newRow("slot 0 empty, later filled") << "0110" << -1 << true;
    QTest::newRow("none filled") << "0000" << -1 << true;
}

void TestAdEditor::copyAd()
{
    QFETCH(QString, before);
    QFETCH(int, copiedInto);
    QFETCH(bool, message);

    Fixture f;
    const auto ads = slotsFrom(before);
    f.editor.load(ads);
    f.editor.CopyAd();

    auto expected = ads;
    if (copiedInto >= 0)
        expected[copiedInto] = ads[copiedInto - 1];
    QCOMPARE(f.editor.adSlots(), expected);
    QCOMPARE(f.prompter.messages.size(), message ? 1 : 0);
    if (message) {
        const platform::MessageRequest& shown = f.prompter.messages.constFirst();
        QCOMPARE(shown.text, QStringLiteral("There is no ad to be copied. Please enter the first ad manually."));
        QCOMPARE(shown.title, QStringLiteral("Copy Ad"));
        QCOMPARE(shown.icon, platform::MsgIcon::Information);
    }
    if (copiedInto >= 0) {
        // The copy goes through the boxes' change handling.
        QCOMPARE(f.find<QLabel>("lblPreviewTitle", copiedInto)->text(), ads[copiedInto - 1].headline);
        QCOMPARE(f.counter(AdEditor::DisplayURL, copiedInto)->text(),
                 QStringLiteral("(%1/35)").arg(ads[copiedInto - 1].displayURL.size()));
    }
}

void TestAdEditor::deleteAd_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("emptied"); // -1: nothing emptied
    QTest::newRow("gap before the last") << "1010" << true << 2;
    QTest::newRow("all filled") << "1111" << true << 3;
    QTest::newRow("answered No") << "1111" << false << -1;
    QTest::newRow("none filled") << "0000" << true << -1;
}

void TestAdEditor::deleteAd()
{
    QFETCH(QString, before);
    QFETCH(bool, yes);
    QFETCH(int, emptied);

    Fixture f;
    const auto ads = slotsFrom(before);
    f.editor.load(ads);
    f.prompter.answers.enqueue(yes ? platform::MsgResult::Yes : platform::MsgResult::No);
    f.editor.DeleteAd();

    QCOMPARE(f.prompter.messages.size(), 1);
    const platform::MessageRequest& asked = f.prompter.messages.constFirst();
    QCOMPARE(asked.text, QStringLiteral("Are you sure you want to delete the last ad?"));
    QCOMPARE(asked.title, QStringLiteral("Delete Ad"));
    QCOMPARE(asked.buttons, platform::MsgButtons::YesNo);
    QCOMPARE(asked.icon, platform::MsgIcon::Information);

    auto expected = ads;
    if (emptied >= 0)
        expected[emptied] = AdSlotData();
    QCOMPARE(f.editor.adSlots(), expected);
}

void TestAdEditor::displayURLQuestion_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("selected");
    QTest::newRow("http in capitals, Yes") << "HTTP://shop.example" << true << true << "HTTP://";
    QTest::newRow("https, Yes") << "https://shop.example" << true << true << "https://";
    QTest::newRow("http, No") << "http://shop.example" << false << true << "";
    QTest::newRow("no scheme") << "shop.example" << true << false << "";
    QTest::newRow("empty") << "" << true << false << "";
}

void TestAdEditor::displayURLQuestion()
{
    QFETCH(QString, display);
    QFETCH(bool, yes);
    QFETCH(bool, asked);
    QFETCH(QString, selected);

    Fixture f;
    QLineEdit* box = f.box(AdEditor::DisplayURL, 3);
    box->setText(display);
    box->deselect();
    f.prompter.answers.enqueue(yes ? platform::MsgResult::Yes : platform::MsgResult::No);
    sendFocus(box, QEvent::FocusOut);

    QCOMPARE(f.prompter.messages.size(), asked ? 1 : 0);
    if (asked) {
        const platform::MessageRequest& question = f.prompter.messages.constFirst();
        QCOMPARE(question.text,
                 QStringLiteral("Warning: Your Display URL contains http:// or https://. You can post your ad "
                                "without http:// or https:// in Display URL.\r\n\r\nDo you want to change your "
                                "Display URL?"));
        QCOMPARE(question.title, QStringLiteral("Build Campaign"));
        QCOMPARE(question.buttons, platform::MsgButtons::YesNo);
        QCOMPARE(question.icon, platform::MsgIcon::Information);
    }
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->text(), display);
}

void TestAdEditor::destinationFill_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain display URL") << "shop.example/shoes" << "" << "http://shop.example/shoes";
    QTest::newRow("https display URL") << "https://shop.example" << "" << "https://shop.example";
    QTest::newRow("HTTP in capitals") << "HTTP://shop.example" << "" << "HTTP://shop.example";
    QTest::newRow("empty display URL") << "" << "" << "http://";
    QTest::newRow("destination kept") << "shop.example" << "http://landing.example/" << "http://landing.example/";
}

void TestAdEditor::destinationFill()
{
    QFETCH(QString, display);
    QFETCH(QString, destination);
    QFETCH(QString, expected);

    Fixture f;
    f.box(AdEditor::DisplayURL, 1)->setText(display);
    f.box(AdEditor::DestinationURL, 1)->setText(destination);
    sendFocus(f.box(AdEditor::DestinationURL, 1), QEvent::FocusIn);
    QCOMPARE(f.box(AdEditor::DestinationURL, 1)->text(), expected);
    QCOMPARE(f.counter(AdEditor::DestinationURL, 1)->text(), QStringLiteral("(%1/1024)").arg(expected.size()));
    // The other slots' destinations stay empty.
    QCOMPARE(f.box(AdEditor::DestinationURL, 0)->text(), QString());
    QVERIFY(f.prompter.messages.isEmpty());
}

void TestAdEditor::focusMovingOnFromDisplayURL()
{
    Fixture f;
    f.page.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.page));
    QLineEdit* display = f.box(AdEditor::DisplayURL, 0);
    QLineEdit* destination = f.box(AdEditor::DestinationURL, 0);
    display->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(display, QStringLiteral("Https://shop.example"));

    // Yes: the focus goes back and the scheme is selected for overtyping.
    f.prompter.answers.enqueue(platform::MsgResult::Yes);
    destination->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(QApplication::focusWidget(), display);
    QCOMPARE(display->selectedText(), QStringLiteral("Https://"));

    // No: the focus moves on and the empty destination is filled.
    f.prompter.answers.enqueue(platform::MsgResult::No);
    destination->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.prompter.messages.size(), 2);
    QCOMPARE(QApplication::focusWidget(), destination);
    QCOMPARE(destination->text(), QStringLiteral("Https://shop.example"));
}

void TestAdEditor::questionInAWindowOfItsOwn_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("handsBack"); // the desktop makes the window active again
    QTest::newRow("No: the focus moves on and fills the destination") << false << true;
    QTest::newRow("Yes: the focus goes back") << true << true;
    QTest::newRow("No, and the window stays inactive until the user comes back") << false << false;
}

// The question takes the window's activation while the focus is on its way
// to the destination box, which then gets the focus back as a window change.
void TestAdEditor::questionInAWindowOfItsOwn()
{
    QFETCH(bool, yes);
    QFETCH(bool, handsBack);
    TestEnvironment env;
    WindowedPrompter prompter(yes ? platform::MsgResult::Yes : platform::MsgResult::No, handsBack);
    QWidget page;
    AdEditor editor(&page);
    page.show();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    auto* display = page.findChild<QLineEdit*>(QStringLiteral("txtDisplayURL0"));
    auto* destination = page.findChild<QLineEdit*>(QStringLiteral("txtDestinationURL0"));
    display->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(display, QStringLiteral("http://shop.example"));

    destination->setFocus(Qt::TabFocusReason);
    QCOMPARE(prompter.asked, 1);
    if (!yes) // at once: no focus-in may follow while the window is inactive
        QCOMPARE(destination->text(), QStringLiteral("http://shop.example"));
    if (!handsBack)
        page.activateWindow();
    QTRY_VERIFY(page.isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(yes ? display : destination));
    QCOMPARE(destination->text(), yes ? QString() : QStringLiteral("http://shop.example"));
    QCOMPARE(display->selectedText(), yes ? QStringLiteral("http://") : QString());

    if (yes)
        return;

    // Switching to another window and back is no move between the boxes:
    // leaving the display URL so asks nothing, and an emptied destination
    // stays empty.
    const auto switchWindows = [&page] {
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
    };
    destination->clear();
    switchWindows();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(destination));
    QCOMPARE(destination->text(), QString());
    display->setFocus(Qt::BacktabFocusReason);
    switchWindows();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(display));
    QCOMPARE(prompter.asked, 1);
}

QTEST_MAIN(TestAdEditor)
#include "tst_adeditor.moc"

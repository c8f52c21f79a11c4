#include "workspace/AdEditor.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "platform/Prompter.h"
#include "platform/widgets/LineEdit.h"

#include <QApplication>
#include <QColor>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const int kHeadlineCut = 90;

bool beginsWithHttp(const QString& text)
{
    return text.startsWith(QStringLiteral("http"), Qt::CaseInsensitive);
}

// Focus changes caused by switching windows or opening popups are not the
// user moving between boxes.
bool isBoxFocusChange(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

AdEditor::AdEditor(QWidget* adsPage, QObject* parent)
    : QObject(parent)
    , m_limits {QStringLiteral("90"), QStringLiteral("90"), QStringLiteral("90"), QStringLiteral("35"),
                QStringLiteral("1024")}
{
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("contAds0"));
    scroll->setWidget(content);
    if (QLayout* existing = adsPage->layout()) {
        existing->addWidget(scroll);
    } else {
        auto* pageLayout = new QVBoxLayout(adsPage);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(scroll);
    }
    auto* contentLayout = new QVBoxLayout(content);

    static const std::array<const char*, BoxCount> boxNames {"txtHeadline", "txtDescr1", "txtDescr2",
                                                             "txtDisplayURL", "txtDestinationURL"};
    static const std::array<const char*, BoxCount> boxLabels {"Headlines:", "Description1:", "Description2:",
                                                              "Display URL:", "Destination URL:"};
    static const std::array<const char*, BoxCount> counterNames {"lblHeadlineMax", "lblDes1Max", "lblDes2Max",
                                                                 "lblDisURLMax", "lblDesURLMax"};

    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        const QString index = QString::number(i);
        Slot& slot = m_slots[i];
        auto* frame = new QGroupBox(QStringLiteral("Ad #") + QString::number(i + 1) + QStringLiteral(" (Optional)"));
        frame->setObjectName(QStringLiteral("contAds") + QString::number(i + 1));
        auto* frameLayout = new QHBoxLayout(frame);

        auto* grid = new QGridLayout;
        for (int b = 0; b < BoxCount; ++b) {
            // A stored text of any length comes back whole; only the headline rule below cuts.
            QLineEdit* box = platform::lineEdit(QLatin1String(boxNames[b]) + index);
            auto* label = new QLabel(QLatin1String(boxLabels[b]));
            label->setBuddy(box);
            auto* counter = new QLabel;
            counter->setObjectName(QLatin1String(counterNames[b]) + index);
            counter->setMinimumWidth(80);
            grid->addWidget(label, b, 0);
            grid->addWidget(box, b, 1);
            grid->addWidget(counter, b, 2);
            slot.boxes[b] = box;
            slot.counters[b] = counter;
            connect(box, &QLineEdit::textChanged, this, [this, i, b] { boxChanged(i, Box(b)); });
        }
        slot.boxes[Headline]->setToolTip(
            QStringLiteral("Up to three headlines of up to 30 characters each, separated by a vertical bar (|)"));
        slot.boxes[DisplayURL]->installEventFilter(this);
        slot.boxes[DestinationURL]->installEventFilter(this);
        grid->setColumnStretch(1, 1);
        frameLayout->addLayout(grid, 3);

        auto* preview = new QFrame;
        preview->setObjectName(QStringLiteral("fraPreview") + index);
        preview->setFrameShape(QFrame::StyledPanel);
        preview->setAutoFillBackground(true);
        QPalette previewPalette = preview->palette();
        previewPalette.setColor(QPalette::Window, Qt::white);
        preview->setPalette(previewPalette);
        auto* previewLayout = new QVBoxLayout(preview);
        auto makePreview = [&](const char* name, const char* designText, const QColor& colour) {
            auto* label = new QLabel(QLatin1String(designText));
            label->setObjectName(QLatin1String(name) + index);
            label->setTextFormat(Qt::PlainText);
            // Long ad texts wrap inside the preview instead of running out of it.
            label->setWordWrap(true);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, colour);
            label->setPalette(palette);
            previewLayout->addWidget(label);
            return label;
        };
        slot.title = makePreview("lblPreviewTitle", "Title", QColor(0x00, 0x00, 0xCC));
        QFont titleFont = slot.title->font();
        titleFont.setUnderline(true);
        slot.title->setFont(titleFont);
        slot.descr1 = makePreview("lblPreviewDescr1", "Descr1", Qt::black);
        slot.descr2 = makePreview("lblPreviewDescr2", "Descr2", Qt::black);
        slot.url = makePreview("lblPreviewURL", "", QColor(0x00, 0x80, 0x00));
        previewLayout->addStretch(1);
        preview->setMinimumWidth(240);
        frameLayout->addWidget(preview, 2);

        contentLayout->addWidget(frame);
        for (int b = 0; b < BoxCount; ++b)
            updateCounter(i, Box(b));
    }
    contentLayout->addStretch(1);
}

AdEditor::~AdEditor() = default;

QString AdEditor::limit(Box box) const
{
    return m_limits[box];
}

void AdEditor::updateCounter(int slot, Box box)
{
    QLabel* counter = m_slots[slot].counters[box];
    const qsizetype length = m_slots[slot].boxes[box]->text().size();
    counter->setText(QStringLiteral("(") + QString::number(length) + QLatin1Char('/') + m_limits[box]
                     + QLatin1Char(')'));
    const bool within = m_limits[box].trimmed().toLongLong() >= length;
    QPalette palette = counter->palette();
    palette.setColor(QPalette::WindowText, within ? QColor(0x00, 0x00, 0x00) : QColor(0xFF, 0x00, 0x00));
    counter->setPalette(palette);
}

void AdEditor::boxChanged(int slot, Box box)
{
    Slot& s = m_slots[slot];
    switch (box) {
    case Headline: {
        QLineEdit* headline = s.boxes[Headline];
        s.title->setText(headline->text());
        m_limits[Headline] = QStringLiteral("90");
        const QString text = headline->text();
        if (text.size() > kHeadlineCut && !text.startsWith(QLatin1Char('{'))) {
            // A character of two code units is not cut in half.
            const int cut = text.at(kHeadlineCut - 1).isHighSurrogate() ? kHeadlineCut - 1 : kHeadlineCut;
            const int cursor = headline->cursorPosition();
            headline->setText(text.left(cut)); // handled again by the nested change
            headline->setCursorPosition(std::min(cursor, cut));
            return;
        }
        updateCounter(slot, Headline);
        break;
    }
    case Description1:
    case Description2:
    case DisplayURL:
        AdPreview(slot);
        updateCounter(slot, box);
        break;
    case DestinationURL:
    case BoxCount:
        updateCounter(slot, DestinationURL);
        break;
    }
    if (m_updating == 0)
        Q_EMIT edited();
}

void AdEditor::AdPreview(int slot)
{
    if (slot < 0 || slot >= CampaignData::AdSlotCount) {
        ErrorLog::WriteErrorLog(QStringLiteral("frmUpdateCreative_AdPreview error: ")
                                + QStringLiteral("Subscript out of range"));
        return;
    }
    Slot& s = m_slots[slot];
    s.descr1->setText(Conversions::Trim(s.boxes[Description1]->text()));
    s.descr2->setText(Conversions::Trim(s.boxes[Description2]->text()));
    s.url->setText(s.boxes[DisplayURL]->text());
    s.descr1->adjustSize();
    s.descr2->adjustSize();
}

void AdEditor::refreshSlot(int slot)
{
    for (int b = 0; b < BoxCount; ++b)
        boxChanged(slot, Box(b));
}

void AdEditor::load(const std::array<AdSlotData, CampaignData::AdSlotCount>& ads)
{
    ++m_updating;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        Slot& s = m_slots[i];
        platform::setLineText(s.boxes[Headline], ads[i].headline);
        platform::setLineText(s.boxes[Description1], ads[i].description1);
        platform::setLineText(s.boxes[Description2], ads[i].description2);
        platform::setLineText(s.boxes[DisplayURL], ads[i].displayURL);
        platform::setLineText(s.boxes[DestinationURL], ads[i].destinationURL);
        refreshSlot(i);
    }
    --m_updating;
}

std::array<AdSlotData, CampaignData::AdSlotCount> AdEditor::adSlots() const
{
    std::array<AdSlotData, CampaignData::AdSlotCount> ads;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        const Slot& s = m_slots[i];
        ads[i].headline = s.boxes[Headline]->text();
        ads[i].description1 = s.boxes[Description1]->text();
        ads[i].description2 = s.boxes[Description2]->text();
        ads[i].displayURL = s.boxes[DisplayURL]->text();
        ads[i].destinationURL = s.boxes[DestinationURL]->text();
    }
    return ads;
}

void AdEditor::clear()
{
    ++m_updating;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        Slot& s = m_slots[i];
        for (QLineEdit* box : s.boxes)
            box->clear();
        refreshSlot(i);
        s.title->clear();
        s.descr1->clear();
        s.descr2->clear();
        s.url->clear();
    }
    --m_updating;
}

void AdEditor::CopyAd()
{
    int empty = -1;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        if (m_slots[i].boxes[Headline]->text().isEmpty()) {
            empty = i;
            break;
        }
    }
    if (empty < 0)
        return;
    if (empty == 0) {
        platform::MsgBox(QStringLiteral("There is no ad to be copied. Please enter the first ad manually."),
                         platform::MsgButtons::OK, platform::MsgIcon::Information, QStringLiteral("Copy Ad"));
        return;
    }
    for (int b = 0; b < BoxCount; ++b)
        platform::setLineText(m_slots[empty].boxes[b], m_slots[empty - 1].boxes[b]->text());
}

void AdEditor::DeleteAd()
{
    if (platform::MsgBox(QStringLiteral("Are you sure you want to delete the last ad?"), platform::MsgButtons::YesNo,
                         platform::MsgIcon::Information, QStringLiteral("Delete Ad"))
        != platform::MsgResult::Yes)
        return;
    for (int i = CampaignData::AdSlotCount - 1; i >= 0; --i) {
        if (!m_slots[i].boxes[Headline]->text().isEmpty()) {
            for (QLineEdit* box : m_slots[i].boxes)
                box->clear();
            return;
        }
    }
}

void AdEditor::DisplayURLLostFocus(int slot)
{
    QLineEdit* box = m_slots[slot].boxes[DisplayURL];
    if (!beginsWithHttp(box->text()))
        return;
    const QString question =
        QStringLiteral("Warning: Your Display URL contains http:// or https://. You can post your ad without "
                       "http:// or https:// in Display URL.")
        + QStringLiteral("\r\n\r\n") + QStringLiteral("Do you want to change your Display URL?");
    if (platform::MsgBox(question, platform::MsgButtons::YesNo, platform::MsgIcon::Information,
                         QStringLiteral("Build Campaign"))
        != platform::MsgResult::Yes)
        return;
    // Select the scheme as written: "https://" is 8 characters, "http://" 7.
    const int schemeLength = box->text().startsWith(QStringLiteral("https://"), Qt::CaseInsensitive) ? 8 : 7;
    m_focusArriving = nullptr; // the focus does not move on
    box->setFocus(Qt::OtherFocusReason);
    box->setSelection(0, std::min<int>(schemeLength, int(box->text().size())));
}

void AdEditor::DestinationURLGotFocus(int slot)
{
    QLineEdit* destination = m_slots[slot].boxes[DestinationURL];
    if (!destination->text().isEmpty())
        return;
    const QString display = m_slots[slot].boxes[DisplayURL]->text();
    // The user goes on typing here: the cursor stays at the end of the text.
    destination->setText(beginsWithHttp(display) ? display : QStringLiteral("http://") + display);
}

void AdEditor::focusMovedOn()
{
    // The question (if one was asked and answered No) may have taken the
    // window's activation, and whether the desktop gives it back, and when,
    // is the desktop's: the destination box the focus was moving to is
    // filled now rather than at a focus-in that may never come.
    if (!m_focusArriving)
        return;
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        if (m_focusArriving == m_slots[i].boxes[DestinationURL]) {
            m_focusArriving = nullptr;
            DestinationURLGotFocus(i);
            return;
        }
    }
}

bool AdEditor::eventFilter(QObject* watched, QEvent* event)
{
    const bool focusOut = event->type() == QEvent::FocusOut && isBoxFocusChange(event);
    const bool focusIn = event->type() == QEvent::FocusIn
                      && (isBoxFocusChange(event) || (m_focusArriving && watched == m_focusArriving));
    if (focusOut || focusIn) {
        for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
            if (focusOut && watched == m_slots[i].boxes[DisplayURL]) {
                // Let the box finish losing the focus first (it drops its
                // selection then), so the selection made by the answer stays.
                watched->event(event);
                m_focusArriving = QApplication::focusWidget();
                DisplayURLLostFocus(i);
                focusMovedOn();
                return true;
            }
            if (focusIn && watched == m_slots[i].boxes[DestinationURL]) {
                m_focusArriving = nullptr;
                DestinationURLGotFocus(i);
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

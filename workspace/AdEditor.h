#pragma once

#include "generator/CampaignData.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QWidget;
class QLabel;
class QLineEdit;

// The Ads tab of the main window: four ad slots with length counters and a
// preview each. Controls are created inside the given page; arrays of the
// original become names with the slot index appended ("txtHeadline0").
class AdEditor : public QObject
{
    Q_OBJECT

public:
    // The five boxes of a slot, in the order the slot's texts are copied.
    enum Box { Headline, Description1, Description2, DisplayURL, DestinationURL, BoxCount };

    explicit AdEditor(QWidget* adsPage, QObject* parent = nullptr);
    ~AdEditor() override;

    void load(const std::array<AdSlotData, CampaignData::AdSlotCount>& ads);
    std::array<AdSlotData, CampaignData::AdSlotCount> adSlots() const;
    // Empties the five boxes and the preview labels of every slot.
    void clear();

    // Toolbar actions.
    void CopyAd();
    void DeleteAd();

    // Refreshes the description and URL preview of a slot.
    void AdPreview(int slot);
    // The display URL's lost-focus and the destination URL's got-focus
    // handling of a slot (also run by the boxes' own focus events).
    void DisplayURLLostFocus(int slot);
    void DestinationURLGotFocus(int slot);

    // The length limit of a box kind as the window keeps it ("90", "35", ...).
    QString limit(Box box) const;

Q_SIGNALS:
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Slot {
        std::array<QLineEdit*, BoxCount> boxes {};
        std::array<QLabel*, BoxCount> counters {};
        QLabel* title = nullptr;
        QLabel* descr1 = nullptr;
        QLabel* descr2 = nullptr;
        QLabel* url = nullptr;
    };

    void boxChanged(int slot, Box box);
    void updateCounter(int slot, Box box);
    void refreshSlot(int slot);
    // After a display URL box lost the focus: a destination box the focus
    // is moving to is filled.
    void focusMovedOn();

    std::array<Slot, CampaignData::AdSlotCount> m_slots {};
    std::array<QString, BoxCount> m_limits;
    int m_updating = 0;
    // The widget that the focus was moving to when a display URL box lost
    // it: the question asked then takes the window's activation, so that
    // widget gets the focus as a window change, which is still the user
    // moving on (a destination box is filled at once, focusMovedOn).
    QPointer<QWidget> m_focusArriving;
};

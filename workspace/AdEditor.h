#pragma once

#include "workspace/CampaignData.h"

#include <QObject>

class QWidget;

// The Ads tab of the main window: four ad slots with length counters and a
// preview each. Controls are created inside the given page; arrays of the
// original become names with the slot index appended ("txtHeadline0").
class AdEditor : public QObject
{
    Q_OBJECT

public:
    explicit AdEditor(QWidget* adsPage, QObject* parent = nullptr);
    ~AdEditor() override;

    void load(const std::array<AdSlotData, CampaignData::AdSlotCount>& ads);
    std::array<AdSlotData, CampaignData::AdSlotCount> adSlots() const;
    // Empties the five boxes and the preview labels of every slot.
    void clear();

    // Toolbar actions.
    void CopyAd();
    void DeleteAd();

Q_SIGNALS:
    void edited();
};

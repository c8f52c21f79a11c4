#include "workspace/AdEditor.h"

AdEditor::AdEditor(QWidget*, QObject* parent)
    : QObject(parent)
{
}

AdEditor::~AdEditor() = default;

void AdEditor::load(const std::array<AdSlotData, CampaignData::AdSlotCount>&) {}
std::array<AdSlotData, CampaignData::AdSlotCount> AdEditor::adSlots() const { return {}; }
void AdEditor::clear() {}
void AdEditor::CopyAd() {}
void AdEditor::DeleteAd() {}

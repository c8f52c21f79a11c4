#include "workspace/KeywordInputs.h"

KeywordInputs::KeywordInputs(QWidget*, QWidget*, QObject* parent)
    : QObject(parent)
{
}

KeywordInputs::~KeywordInputs() = default;

void KeywordInputs::load(const CampaignData&) {}
void KeywordInputs::store(CampaignData&) const {}
void KeywordInputs::clear() {}
void KeywordInputs::LoadBaseKeywords() {}
void KeywordInputs::LoadExtKeywords() {}
void KeywordInputs::AddKeywordsLine(const QTreeWidget*, const QString&) {}
int KeywordInputs::mixingIndex() const { return 0; }
bool KeywordInputs::capitalization() const { return false; }
QPlainTextEdit* KeywordInputs::pasteTarget() const { return nullptr; }

#include "workspace/GeneratedFilesPanel.h"

GeneratedFilesPanel::GeneratedFilesPanel(QTabWidget*, QObject* parent)
    : QObject(parent)
{
}

GeneratedFilesPanel::~GeneratedFilesPanel() = default;

bool GeneratedFilesPanel::LoadAdFiles(const QString&) { return false; }
void GeneratedFilesPanel::clear() {}
void GeneratedFilesPanel::clearTextView(int) {}

#pragma once

// The indexes of the main window's commands and tabs: the toolbar buttons
// "cmdTools<index>", the menu items "mnuFileItems<index>",
// "mnuKeywordItems<index>", "mnuHelpItems<index>" and the tabs of tabMain.

enum class ToolButton {
    New = 0,
    Save = 1,
    OpenBaseKeywords = 2,
    OpenExtensionKeywords = 3,
    Paste = 4, // has no button
    KeywordBuilder = 5,
    CopyAd = 6,
    DeleteAd = 7,
    BuildCampaigns = 8,
    Help = 9,
    AdwordsEditor = 10,
};

enum class FileItem { NewCampaign = 1, DeleteCampaign = 2, SaveCampaign = 3, Setup = 5, Exit = 7 };

enum class KeywordItem { KeywordBuilder = 1, LoadBaseKeywords = 3, LoadExtensionKeywords = 4 };

enum class HelpItem { Contents = 1, PdfUserGuide = 2, Support = 4, About = 6 };

enum class EditorTab { Keywords = 0, AdGroups = 1, Ads = 2, LandingPage = 3, AdwordsFiles = 4 };

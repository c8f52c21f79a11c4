#pragma once

// The horizontal arrangement of the main window, in twips (1440 to the inch
// at the screen's resolution): the left pane tabLeft, its content picLeft
// with the tree, the splitter strip picSpliterVertical and the main area
// (tabMain or the welcome page), which takes the rest of the width but a
// right margin.
namespace MainLayout {

constexpr int PinnedPaneWidth = 2500;
constexpr int UnpinnedContentWidth = 2800;
constexpr int RightMargin = 50;

struct Columns {
    int paneWidth = 0;     // tabLeft: docked, or folded to its tab
    int contentWidth = 0;  // picLeft and the tree
    int splitterLeft = 0;  // picSpliterVertical
    int mainLeft = 0;      // the main area
};

// Pinned, the pane is docked 2500 wide and its content 25 narrower.
// Unpinned, the pane is folded to its tab (foldedWidth) and its content,
// sliding out over the main area, is 2800 wide. The splitter stands 10 to
// the right of the pane, the main area 5 to the right of the splitter.
Columns columns(bool pinned, int foldedWidth, int splitterWidth);

int toPixels(int twips, int dpi);
int toTwips(int pixels, int dpi);

} // namespace MainLayout

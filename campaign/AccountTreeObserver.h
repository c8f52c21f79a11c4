#pragma once

#include "campaign/clsMain.h"

// What a view of the accounts tree is told as the workspace changes the
// tree, so that it can follow each change with the rows it touches (image
// changes come through clsMain::setImageObserver).
class AccountTreeObserver
{
public:
    // The tree shown from now on, loaded afresh; null while the workspace
    // replaces its tree (the former one is about to go).
    virtual void treeReplaced(clsMain* tree) = 0;
    // An account, or a campaign of an account, was added to the tree.
    virtual void nodeAdded(const NodeId& node) = 0;
    virtual void campaignRemoved(const NodeId& node) = 0;

protected:
    ~AccountTreeObserver() = default;
};

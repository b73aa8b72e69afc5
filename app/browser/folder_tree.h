#pragma once
// The folder tree (control 1000): one root item standing for "/", children
// listed when an item is first expanded, and the path of an item.
#include "app/browser/browser.h"
#include "platform/controls/treeview.h"

#include <string>

namespace fotrix {

// The folder of a tree item: the texts from the root down, each followed by "/".
std::string TreeItemPath(HTREEITEM item);
// The tree item of a folder already listed in the tree, or null.
HTREEITEM FindTreeItem(const std::string& folder);

// Keeping the tree in step with folder operations.
HTREEITEM InsertFolder(HTREEITEM parent, const std::string& name);
void RenameFolder(HTREEITEM item, const std::string& name);
void RemoveFolder(HTREEITEM item);

// Whether a folder holds at least one sub-folder that the tree shows.
bool HasSubFolders(const std::string& folder);

}  // namespace fotrix

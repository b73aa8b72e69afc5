#pragma once
// The tree view's use of image lists: the size of their pictures and drawing one.
// A null list has no pictures (size 0 x 0).
#include "platform/base/types.h"

namespace treeview {

void imageSize(void* imageList, int* width, int* height);
void drawImage(void* imageList, int index, HDC dc, int x, int y, bool selected);

}  // namespace treeview

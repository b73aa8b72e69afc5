// Tree view pictures drawn from image lists.
#include "platform/controls/treeview_images.h"

namespace treeview {

void imageSize(void* imageList, int* width, int* height)
{
    *width = 0;
    *height = 0;
    (void)imageList;
}

void drawImage(void*, int, HDC, int, int, bool) {}

}  // namespace treeview

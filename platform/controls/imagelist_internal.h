#pragma once
// The record behind HIMAGELIST, shared by the image list functions, the
// system icon lists and the controls that draw from image lists.
#include "platform/controls/imagelist.h"

#include <cstdint>
#include <memory>
#include <vector>

struct ImagePicture {
    std::vector<uint32_t> pixels;      // 0x00RRGGBB, cx * cy, top row first
    std::vector<uint8_t> transparent;  // 1 where the mask leaves the background
};

struct ImageListRec {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    int grow = 1;
    COLORREF background = CLR_NONE;
    bool system = false;  // a shared system list: read-only, never destroyed
    std::vector<ImagePicture> pictures;
};

// Live image lists, so that a destroyed or made-up handle is refused.
HIMAGELIST imageListRegister(std::unique_ptr<ImageListRec> list);
void imageListUnregister(HIMAGELIST list);
bool imageListAlive(const ImageListRec* list);

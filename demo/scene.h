#pragma once
// The demo's test scene: text in the program's fonts, lines, fills, a picture
// blitted and stretched, and a box that changes with every timer tick.
#include "platform/windows.h"

struct DemoScene {
    HBITMAP picture = nullptr;  // 24-bit DIB section made at start
    int tick = 0;
    DWORD runs = 0;
};

bool sceneCreate(DemoScene& scene);
void sceneDestroy(DemoScene& scene);
void scenePaint(const DemoScene& scene, HDC hdc, const RECT& client);
// The part of the client area that the tick box covers.
RECT sceneTickBox(const RECT& client);

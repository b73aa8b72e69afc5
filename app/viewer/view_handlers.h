#pragma once
// Message handlers of "CBmpClass", each in the file of its job.
#include "platform/windows.h"

namespace fotrix {

LRESULT viewOnPaint(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnScroll(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnButtonDown(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnMouseMove(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnButtonUp(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnDoubleClick(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnMouseWheel(HWND view, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT viewOnGesture(HWND view, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace fotrix

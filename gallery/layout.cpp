#include "gallery/layout.h"

#include <cstdint>

namespace {
constexpr int kMargin96 = 6;
constexpr int kGap96 = 4;
}  // namespace

PageLayout::PageLayout(HWND page) : page_(page)
{
    GetClientRect(page, &area_);
    int margin = ScaleForScreen(kMargin96);
    InflateRect(&area_, -margin, -margin);
    y_ = area_.top;
}

RECT PageLayout::row(int height96)
{
    RECT r{area_.left, y_, area_.right, y_ + ScaleForScreen(height96)};
    y_ = r.bottom + ScaleForScreen(kGap96);
    return r;
}

RECT PageLayout::column(const RECT& r, int index, int count) const
{
    int gap = ScaleForScreen(kGap96);
    int width = r.right - r.left - gap * (count - 1);
    // Columns take whole pixels from the left; the last one ends exactly at r.right.
    int left = r.left + index * (width / count + gap);
    int right = index == count - 1 ? r.right : left + width / count;
    return {left, r.top, right, r.bottom};
}

RECT PageLayout::inset(const RECT& r, int left96, int top96, int right96, int bottom96) const
{
    return {r.left + ScaleForScreen(left96), r.top + ScaleForScreen(top96), r.right - ScaleForScreen(right96),
            r.bottom - ScaleForScreen(bottom96)};
}

RECT PageLayout::rest() const { return {area_.left, y_, area_.right, area_.bottom > y_ ? area_.bottom : y_}; }

void PageLayout::skip(int height96) { y_ += ScaleForScreen(height96); }

HWND PageLayout::add(const char* className, const char* text, DWORD style, const RECT& r)
{
    int id = nextId_++;
    return CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          page_, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

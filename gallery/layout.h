#pragma once
// Places a page's controls from the top down. Heights and gaps are given at
// 96 dpi and scaled to the screen (they follow the font); widths are shares of
// the page, so a wider screen gets wider controls rather than a ragged edge.
#include "platform/windows.h"

constexpr int kRowHeight96 = 20;

// Window styles as plain numbers, so that they combine with control styles.
constexpr DWORD kTabStop = WS_TABSTOP;
constexpr DWORD kGroup = WS_GROUP;
constexpr DWORD kBorder = WS_BORDER;

class PageLayout {
public:
    explicit PageLayout(HWND page);

    // The next row across the page, `height96` high, and the gap after it.
    RECT row(int height96 = kRowHeight96);
    // Column `index` of `count` equal columns of `r`, with gaps between them.
    RECT column(const RECT& r, int index, int count) const;
    // `r` less an inset of `left96`, `top96`, `right96`, `bottom96` (at 96 dpi).
    RECT inset(const RECT& r, int left96, int top96, int right96, int bottom96) const;
    // What is left of the page below the rows taken so far.
    RECT rest() const;
    void skip(int height96);

    // Creates a visible child control in `r`; controls are numbered from 100 in
    // the order they are made, which is also their tab order.
    HWND add(const char* className, const char* text, DWORD style, const RECT& r);

private:
    HWND page_;
    RECT area_;
    int y_;
    int nextId_ = 100;
};

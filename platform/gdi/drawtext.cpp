// DrawText: prefix characters, line breaks, word wrapping, alignment, ellipsis
// and measuring (DT_CALCRECT).
#include "platform/gdi/text_internal.h"
#include "platform/base/utf8.h"

#include <algorithm>

namespace {

struct Line {
    std::string text;
    int underline = -1;  // byte offset of the character after a prefix "&", or -1
    int width = 0;
};

// Removes prefix ampersands: "&x" underlines x, "&&" shows one "&".
std::string stripPrefixes(std::string_view in, int* underline)
{
    std::string out;
    *underline = -1;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '&' && i + 1 < in.size()) {
            ++i;
            if (in[i] != '&') *underline = static_cast<int>(out.size());
        } else if (in[i] == '&') {
            continue;
        }
        out += in[i];
    }
    return out;
}

std::string expandTabs(std::string_view in, FontInstance* font, int tabWidth, bool expand)
{
    std::string out;
    for (char c : in) {
        if (c != '\t') {
            out += c;
            continue;
        }
        if (!expand) {
            out += ' ';
            continue;
        }
        int w = textRunWidth(font, out);
        int spaceW = std::max(1, textRunWidth(font, " "));
        int next = (w / tabWidth + 1) * tabWidth;
        while (w < next) {
            out += ' ';
            w += spaceW;
        }
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text, bool singleLine)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (singleLine) continue;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
            continue;
        }
        lines.back() += c;
    }
    return lines;
}

// Breaks one paragraph at spaces so that each piece fits the width; a word
// wider than the width stands alone on its line.
void wrapParagraph(const std::string& para, FontInstance* font, int width, std::vector<Line>& out)
{
    size_t start = 0;
    while (start <= para.size()) {
        size_t end = start, lastBreak = std::string::npos;
        while (end < para.size()) {
            size_t next = para.find(' ', end);
            size_t wordEnd = next == std::string::npos ? para.size() : next;
            if (textRunWidth(font, std::string_view(para).substr(start, wordEnd - start)) > width && lastBreak != std::string::npos)
                break;
            lastBreak = wordEnd;
            end = next == std::string::npos ? para.size() : next + 1;
        }
        size_t cut = end >= para.size() ? para.size() : lastBreak;
        std::string piece = para.substr(start, cut - start);
        while (!piece.empty() && piece.back() == ' ') piece.pop_back();
        out.push_back(Line{piece, -1, textRunWidth(font, piece)});
        if (cut >= para.size()) break;
        start = cut;
        while (start < para.size() && para[start] == ' ') ++start;
        if (start >= para.size()) break;
    }
}

// Drops one whole (UTF-8) character from the end of `text`.
void dropLastCharacter(std::string& text)
{
    size_t n = text.size() - 1;
    while (n > 0 && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
    text.resize(n);
}

std::string withEllipsis(const std::string& text, FontInstance* font, int width)
{
    if (textRunWidth(font, text) <= width) return text;
    std::string cut = text;
    while (!cut.empty()) {
        dropLastCharacter(cut);
        if (textRunWidth(font, cut + "...") <= width) break;
    }
    return cut + "...";
}

// A path too long for `width`, shortened in the middle: as much of the folders
// as fits, "...", and the part from the last "/" on (itself shortened at its
// end when even that does not fit).
std::string withPathEllipsis(const std::string& text, FontInstance* font, int width)
{
    const size_t slash = text.rfind('/');
    if (textRunWidth(font, text) <= width || slash == std::string::npos || slash == 0) return withEllipsis(text, font, width);
    const std::string tail = "..." + text.substr(slash);
    std::string head = text.substr(0, slash);
    while (!head.empty() && textRunWidth(font, head + tail) > width) dropLastCharacter(head);
    return head.empty() ? withEllipsis(tail, font, width) : head + tail;
}

}  // namespace

int DrawText(HDC hdc, const char* text, int length, RECT* rect, UINT format)
{
    if (!dcValid(hdc) || !rect || !text) return 0;
    FontInstance* font = dcFont(hdc);
    if (!font) return 0;
    TEXTMETRIC tm;
    fontMetrics(font, &tm);
    std::string_view source = length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length));
    int underline = -1;
    std::string shown = (format & DT_NOPREFIX) ? std::string(source) : stripPrefixes(source, &underline);
    bool single = (format & DT_SINGLELINE) != 0;
    int width = rect->right - rect->left;

    std::vector<Line> lines;
    size_t offset = 0;
    for (const std::string& para : splitLines(shown, single)) {
        std::string expanded = expandTabs(para, font, std::max<LONG>(1, tm.tmAveCharWidth * 8), (format & DT_EXPANDTABS) != 0);
        size_t before = lines.size();
        if ((format & DT_WORDBREAK) && !single) wrapParagraph(expanded, font, width, lines);
        else lines.push_back(Line{expanded, -1, textRunWidth(font, expanded)});
        // The underlined character belongs to the first line of its paragraph or a later one.
        if (underline >= 0 && static_cast<size_t>(underline) >= offset && static_cast<size_t>(underline) < offset + para.size() &&
            before < lines.size() && lines[before].text.size() > static_cast<size_t>(underline) - offset)
            lines[before].underline = underline - static_cast<int>(offset);
        offset += para.size() + 1;
    }
    if ((format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) && single && !lines.empty()) {
        lines[0].text = (format & DT_PATH_ELLIPSIS) ? withPathEllipsis(lines[0].text, font, width)
                                                    : withEllipsis(lines[0].text, font, width);
        lines[0].width = textRunWidth(font, lines[0].text);
    }

    int total = static_cast<int>(lines.size()) * tm.tmHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines) widest = std::max(widest, l.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    int y = rect->top;
    if (single && (format & DT_VCENTER)) y = rect->top + (rect->bottom - rect->top - tm.tmHeight) / 2;
    else if (single && (format & DT_BOTTOM)) y = rect->bottom - tm.tmHeight;

    std::vector<RECT> savedClip = hdc->clip;
    if (!(format & DT_NOCLIP)) IntersectClipRect(hdc, rect->left, rect->top, rect->right, rect->bottom);
    for (const Line& line : lines) {
        int x = rect->left;
        if (format & DT_CENTER) x = rect->left + (width - line.width) / 2;
        else if (format & DT_RIGHT) x = rect->right - line.width;
        if (hdc->bkMode == OPAQUE && line.width > 0) {
            RECT cell{x, y, x + line.width, y + tm.tmHeight};
            HBRUSH bk = CreateSolidBrush(hdc->bkColor);
            FillRect(hdc, &cell, bk);
            DeleteObject(bk);
        }
        drawTextRun(hdc, font, devX(hdc, x), devY(hdc, y), line.text);
        if (line.underline >= 0) {
            int ux = x + textRunWidth(font, std::string_view(line.text).substr(0, static_cast<size_t>(line.underline)));
            size_t pos = static_cast<size_t>(line.underline);
            utf8Next(line.text, &pos);
            int uw = textRunWidth(font, std::string_view(line.text).substr(static_cast<size_t>(line.underline), pos - line.underline));
            RECT u{ux, y + tm.tmAscent + 1, ux + uw, y + tm.tmAscent + 2};
            HBRUSH pen = CreateSolidBrush(hdc->textColor);
            FillRect(hdc, &u, pen);
            DeleteObject(pen);
        }
        y += tm.tmHeight;
    }
    hdc->clip.swap(savedClip);
    return total;
}

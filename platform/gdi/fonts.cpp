// Fonts through FreeType: the face file for a LOGFONT, sizes in pixels, metrics
// and a cache of rendered glyphs per (file, size, weight).
#include "platform/gdi/gdi_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <unordered_map>

struct FontInstance {
    ~FontInstance()
    {
        if (face) FT_Done_Face(face);
    }
    FT_Face face = nullptr;
    bool syntheticBold = false;
    int em = 0;
    TEXTMETRIC tm{};
    std::string faceName;
    std::unordered_map<uint32_t, Glyph> glyphs;
    FontInstance* fallback = nullptr;  // DejaVu Sans at the same size, for missing characters
};

namespace {

std::recursive_mutex& fontLock()
{
    static std::recursive_mutex lock;
    return lock;
}

FT_Library library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) return static_cast<FT_Library>(nullptr);
        return l;
    }();
    return lib;
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Looks for a font file in FOTRIX_FONT_DIR, then the Debian folders of
// fonts-wine and fonts-dejavu-core.
std::string findFontFile(const char* file)
{
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("FOTRIX_FONT_DIR")) dirs.push_back(env);
    dirs.push_back("/usr/share/wine/fonts");
    dirs.push_back("/usr/share/fonts/truetype/dejavu");
    dirs.push_back("/usr/share/fonts/truetype/wine");
    for (const std::string& d : dirs) {
        std::string path = d + "/" + file;
        if (fileExists(path)) return path;
    }
    return "";
}

struct FaceChoice {
    const char* name;       // face name as a LOGFONT asks for it
    const char* regular;
    const char* bold;       // null: embolden the regular outlines
};

constexpr FaceChoice kFaces[] = {
    {"Tahoma", "tahoma.ttf", "tahomabd.ttf"},
    {"MS Sans Serif", "ms_sans_serif.ttf", nullptr},
    {"DejaVu Sans", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf"},
};
constexpr const FaceChoice& kFallbackFace = kFaces[2];

void chooseFile(const char* faceName, bool bold, std::string& path, bool& synthetic, std::string& shownName)
{
    const FaceChoice* choice = &kFallbackFace;
    for (const FaceChoice& f : kFaces)
        if (faceName && strcasecmp(f.name, faceName) == 0) choice = &f;
    for (const FaceChoice* c : {choice, &kFallbackFace}) {
        synthetic = false;
        if (bold && c->bold) path = findFontFile(c->bold);
        if (bold && (!c->bold || path.empty())) synthetic = true;
        if (!bold || synthetic) path = findFontFile(c->regular);
        shownName = c->name;
        if (!path.empty()) return;
    }
}

long roundScaled(long units, int em, int unitsPerEm) { return std::lround(static_cast<double>(units) * em / unitsPerEm); }

void computeMetrics(FontInstance& f, bool bold)
{
    FT_Face face = f.face;
    int upem = face->units_per_EM ? face->units_per_EM : 2048;
    long ascent, descent, avg = 0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = roundScaled(os2->usWinAscent, f.em, upem);
        descent = roundScaled(os2->usWinDescent, f.em, upem);
        avg = roundScaled(os2->xAvgCharWidth, f.em, upem);
    } else {
        ascent = roundScaled(face->ascender, f.em, upem);
        descent = roundScaled(-face->descender, f.em, upem);
    }
    TEXTMETRIC& tm = f.tm;
    tm.tmAscent = ascent;
    tm.tmDescent = descent;
    tm.tmHeight = ascent + descent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - f.em);
    tm.tmExternalLeading = 0;
    tm.tmMaxCharWidth = roundScaled(face->max_advance_width, f.em, upem);
    tm.tmWeight = bold ? FW_BOLD : FW_NORMAL;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = gdiScreenDpi();
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFD;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmPitchAndFamily = 0x06;  // variable pitch, TrueType
    tm.tmAveCharWidth = avg;
    if (avg <= 0) {
        const Glyph* x = fontGlyph(&f, 'x');
        tm.tmAveCharWidth = x ? x->advance : f.em / 2;
    }
}

FontInstance* openInstance(const std::string& path, int em, bool syntheticBold, const std::string& name, bool bold)
{
    FT_Face face = nullptr;
    if (!library() || FT_New_Face(library(), path.c_str(), 0, &face) != 0) return nullptr;
    if (FT_IS_SCALABLE(face)) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
    } else if (face->num_fixed_sizes > 0) {
        // A bitmap-only face: take the strike nearest the wanted size.
        int best = 0;
        for (int i = 1; i < face->num_fixed_sizes; ++i)
            if (std::abs(face->available_sizes[i].height - em) < std::abs(face->available_sizes[best].height - em)) best = i;
        FT_Select_Size(face, best);
    }
    auto* f = new FontInstance;
    f->face = face;
    f->em = em;
    f->syntheticBold = syntheticBold;
    f->faceName = name;
    computeMetrics(*f, bold);
    return f;
}

int pixelSizeFor(const LOGFONT& lf, const std::string& path)
{
    if (lf.lfHeight < 0) return std::clamp<int>(-lf.lfHeight, 1, 512);
    if (lf.lfHeight == 0) return std::max(1, MulDiv(8, gdiScreenDpi(), 72));
    // A positive height is the whole cell: ascent plus descent.
    FT_Face face = nullptr;
    int em = lf.lfHeight;
    if (library() && FT_New_Face(library(), path.c_str(), 0, &face) == 0) {
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        int upem = face->units_per_EM;
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0 && upem) {
            int cell = os2->usWinAscent + os2->usWinDescent;
            em = static_cast<int>(std::lround(double(lf.lfHeight) * upem / cell));
            // The largest size whose rounded cell still fits the height asked for.
            auto cellAt = [&](int e) { return roundScaled(os2->usWinAscent, e, upem) + roundScaled(os2->usWinDescent, e, upem); };
            while (em > 1 && cellAt(em) > lf.lfHeight) --em;
        }
        FT_Done_Face(face);
    }
    return std::clamp(em, 1, 512);
}

}  // namespace

FontInstance* fontInstanceFor(const LOGFONT& lf)
{
    std::lock_guard<std::recursive_mutex> guard(fontLock());
    // Every size used is kept for the life of the program; a screen uses a handful.
    static std::map<std::string, std::unique_ptr<FontInstance>> cache;
    bool bold = lf.lfWeight >= FW_SEMIBOLD;
    std::string path, name;
    bool synthetic = false;
    chooseFile(lf.lfFaceName, bold, path, synthetic, name);
    if (path.empty()) return nullptr;
    int em = pixelSizeFor(lf, path);
    std::string key = path + "|" + std::to_string(em) + (synthetic ? "|b" : "");
    auto it = cache.find(key);
    if (it != cache.end()) return it->second.get();
    FontInstance* f = openInstance(path, em, synthetic, name, bold);
    cache[key].reset(f);
    if (f && name != kFallbackFace.name) {
        LOGFONT fb{};
        fb.lfHeight = -em;
        fb.lfWeight = lf.lfWeight;
        std::snprintf(fb.lfFaceName, LF_FACESIZE, "%s", kFallbackFace.name);
        f->fallback = fontInstanceFor(fb);
    }
    return f;
}

const Glyph* fontGlyph(FontInstance* font, uint32_t cp)
{
    std::lock_guard<std::recursive_mutex> guard(fontLock());
    if (!font) return nullptr;
    auto it = font->glyphs.find(cp);
    if (it != font->glyphs.end()) return &it->second;
    FT_UInt index = FT_Get_Char_Index(font->face, cp);
    if (index == 0 && font->fallback && FT_Get_Char_Index(font->fallback->face, cp) != 0) {
        const Glyph* g = fontGlyph(font->fallback, cp);
        if (g) return &(font->glyphs[cp] = *g);
    }
    Glyph g;
    if (FT_Load_Glyph(font->face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) == 0) {
        FT_GlyphSlot slot = font->face->glyph;
        if (font->syntheticBold) FT_GlyphSlot_Embolden(slot);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bm = slot->bitmap;
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = static_cast<int>(bm.width);
            g.height = static_cast<int>(bm.rows);
            g.alpha.resize(static_cast<size_t>(g.width) * g.height);
            for (int y = 0; y < g.height; ++y) {
                const uint8_t* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
                for (int x = 0; x < g.width; ++x) {
                    uint8_t a = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
                    g.alpha[static_cast<size_t>(y) * g.width + x] = a;
                }
            }
        }
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    }
    return &(font->glyphs[cp] = std::move(g));
}

void fontMetrics(FontInstance* font, TEXTMETRIC* tm)
{
    if (font && tm) *tm = font->tm;
}

const char* fontFaceName(FontInstance* font) { return font ? font->faceName.c_str() : ""; }

// fotrix-cli adjust: automatic levels, automatic contrast, brightness /
// contrast / gamma and colour balance, applied in that order.
#include <charconv>
#include <cstdlib>
#include <string>

#include "cli/picture_io.h"
#include "imagelib/adjust.h"

namespace cli {

namespace {

struct AdjustRequest {
    int brightness = 0, contrast = 0;
    double gamma = 1.0;
    bool autoLevels = false, autoContrast = false;
    int balance[3] = {0, 0, 0};  // red, green, blue
};

int adjust(fotrix::Bitmap& bitmap, const void* data)
{
    const auto& r = *static_cast<const AdjustRequest*>(data);
    int result = 0;
    if (r.autoLevels) result = fotrix::bitmapAutoLevels(bitmap, nullptr, nullptr);
    if (!result && r.autoContrast) result = fotrix::bitmapAutoContrast(bitmap, nullptr, nullptr);
    if (!result && (r.brightness || r.contrast || r.gamma < 0.99 || r.gamma > 1.01))
        result = fotrix::bitmapAdjust(bitmap, nullptr, nullptr, r.brightness, r.contrast, r.gamma);
    if (!result && (r.balance[0] || r.balance[1] || r.balance[2])) {
        // The offsets act on byte positions: blue first for pictures stored B, G, R.
        const bool bgr = bitmap.type == fotrix::Bgr || bitmap.type == fotrix::Bgra;
        result = fotrix::bitmapColourBalance(bitmap, nullptr, nullptr, r.balance[bgr ? 2 : 0], r.balance[1],
                                             r.balance[bgr ? 0 : 2]);
    }
    return result;
}

bool parseDouble(std::string_view text, double low, double high, double& out)
{
    const std::string copy(text);
    char* end = nullptr;
    const double v = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != '\0' || !(v >= low && v <= high)) return false;
    out = v;
    return true;
}

bool parseTriple(std::string_view text, int values[3])
{
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',');
        if ((i < 2) == (comma == std::string_view::npos)) return false;
        const auto n = parseNumber(text.substr(0, comma));
        if (!n || *n < -255 || *n > 255) return false;
        values[i] = static_cast<int>(*n);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return true;
}

}  // namespace

int commandAdjust(Arguments args)
{
    EditRequest request;
    AdjustRequest r;
    const int status = parseEditArguments("adjust", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg == "--auto-levels") return r.autoLevels = true, 1;
        if (arg == "--auto-contrast") return r.autoContrast = true, 1;
        if (arg != "--brightness" && arg != "--contrast" && arg != "--gamma" && arg != "--balance") return 0;
        const auto v = reader.value();
        if (!v) return usageError("adjust", std::string(arg) + " takes a value"), -ExitUsage;
        if (arg == "--gamma") {
            if (!parseDouble(*v, 0.01, 100.0, r.gamma)) return usageError("adjust", "--gamma takes 0.01 to 100"), -ExitUsage;
        } else if (arg == "--balance") {
            if (!parseTriple(*v, r.balance)) return usageError("adjust", "--balance takes R,G,B from -255 to 255"), -ExitUsage;
        } else {
            const auto n = parseNumber(*v);
            const long limit = arg == "--brightness" ? 255 : 127;
            if (!n || *n < -limit || *n > limit)
                return usageError("adjust", std::string(arg) + " takes -" + std::to_string(limit) + " to " +
                                                std::to_string(limit)),
                       -ExitUsage;
            (arg == "--brightness" ? r.brightness : r.contrast) = static_cast<int>(*n);
        }
        return 1;
    });
    if (status) return status;
    return runEdit(request, adjust, &r);
}

}  // namespace cli

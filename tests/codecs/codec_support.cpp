#include "tests/codecs/codec_support.h"

#include <cstring>

#include "imagelib/codecs.h"
#include "imagelib/formats.h"

namespace codectest {

namespace {

class CodecLibrary : public ::testing::Environment {
public:
    void SetUp() override
    {
        fotrix::libraryInit();
        fotrix::codecFormatsAttach();
    }
    void TearDown() override { fotrix::libraryExit(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CodecLibrary);

}  // namespace

int formatIndex(const char* shortName) { return fotrix::formatFindByName(shortName); }

void loadRgba(const std::filesystem::path& path, Load& load, const std::function<void(fotrix::LoadParams&)>& adjust)
{
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ForceTrueColour | fotrix::ForceAlpha;
    params.rowAlignment = 1;
    if (adjust) adjust(params);
    fotrix::Bitmap bitmap;
    load.code = fotrix::loadBitmap(path.string(), bitmap, params, &load.info);
    if (load.code != 0) return;
    testsupport::Pixels& p = load.pixels;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = 4;
    p.data.resize(static_cast<size_t>(p.width) * p.height * 4);
    const int bytes = bitmap.type == fotrix::Rgba ? 4 : 3;
    if (bitmap.type != fotrix::Rgba && bitmap.type != fotrix::Rgb) load.code = -2;
    for (int y = 0; y < p.height && load.code == 0; y++) {
        const uint8_t* row = fotrix::bitmapRow(bitmap, y);
        uint8_t* out = &p.data[static_cast<size_t>(y) * p.width * 4];
        for (int x = 0; x < p.width; x++, out += 4) {
            std::memcpy(out, row + bytes * x, bytes);
            if (bytes == 3) out[3] = 255;
        }
    }
    fotrix::bitmapFree(bitmap);
}

bool runTool(const std::string& command)
{
    std::string output;
    const int status = testsupport::run(command + " 2>&1", &output);
    if (status != 0) ADD_FAILURE() << command << " failed (" << status << "):\n" << output;
    return status == 0;
}

std::filesystem::path photo() { return testsupport::testdata("libjpeg-turbo/vgl_5674_0098.png"); }
std::filesystem::path alphaPicture() { return testsupport::testdata("pngsuite/png/basn6a08.png"); }

}  // namespace codectest

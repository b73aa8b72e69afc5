#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace testsupport {

fs::path testdata(const std::string& relative)
{
    const char* env = std::getenv("FOTRIX_TESTDATA");
    fs::path base = env && *env ? fs::path(env) : fs::path(FOTRIX_TESTDATA_DEFAULT);
    return relative.empty() ? base : base / relative;
}

fs::path binaryDir() { return fs::path(FOTRIX_BINARY_DIR); }

fs::path sourceDir() { return fs::path(FOTRIX_SOURCE_DIR); }

bool requireTestdata()
{
    const char* env = std::getenv("FOTRIX_REQUIRE_TESTDATA");
    return env && std::string(env) == "1";
}

bool haveTool(const std::string& program)
{
    return run("command -v '" + program + "' >/dev/null 2>&1") == 0;
}

int run(const std::string& command, std::string* output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t n;
    std::string text;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    int status = pclose(pipe);
    if (output) *output = std::move(text);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TempDir::TempDir()
{
    std::random_device random;
    path_ = fs::temp_directory_path() / ("fotrix-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

namespace {

// Reads the next header token of a PNM file, skipping comments.
bool nextToken(std::istream& in, std::string& token)
{
    token.clear();
    int c;
    while ((c = in.get()) != EOF) {
        if (c == '#') {
            while ((c = in.get()) != EOF && c != '\n') {}
            continue;
        }
        if (std::isspace(c)) {
            if (!token.empty()) return true;
            continue;
        }
        token.push_back(static_cast<char>(c));
    }
    return !token.empty();
}

bool readPamHeader(std::istream& in, Pixels& out, int& maxval)
{
    std::string line;
    std::getline(in, line);  // rest of the "P7" line
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "ENDHDR") return out.width > 0 && out.height > 0 && out.channels > 0;
        if (key == "WIDTH") words >> out.width;
        else if (key == "HEIGHT") words >> out.height;
        else if (key == "DEPTH") words >> out.channels;
        else if (key == "MAXVAL") words >> maxval;
    }
    return false;
}

}  // namespace

bool readPnm(const fs::path& path, Pixels& out)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    if (!(in >> magic)) return false;
    int maxval = 255;
    if (magic == "P7") {
        if (!readPamHeader(in, out, maxval)) return false;
    } else if (magic == "P5" || magic == "P6") {
        std::string w, h, m;
        if (!nextToken(in, w) || !nextToken(in, h) || !nextToken(in, m)) return false;
        out.width = std::stoi(w);
        out.height = std::stoi(h);
        maxval = std::stoi(m);
        out.channels = magic == "P5" ? 1 : 3;
    } else {
        return false;
    }
    const size_t samples = static_cast<size_t>(out.width) * out.height * out.channels;
    const int bytesPerSample = maxval > 255 ? 2 : 1;
    std::vector<uint8_t> raw(samples * bytesPerSample);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (static_cast<size_t>(in.gcount()) != raw.size()) return false;
    out.data.resize(samples);
    for (size_t i = 0; i < samples; ++i) {
        unsigned v = bytesPerSample == 2 ? (raw[2 * i] << 8 | raw[2 * i + 1]) : raw[i];
        out.data[i] = static_cast<uint8_t>((v * 255 + maxval / 2) / maxval);
    }
    return true;
}

bool decodeWithMagick(const fs::path& picture, Pixels& out)
{
    TempDir dir;
    fs::path pam = dir / "magick.pam";
    std::string command = "/usr/bin/convert '" + picture.string() + "[0]' -depth 8 -alpha on 'pam:" +
                          pam.string() + "' 2>/dev/null";
    if (run(command) != 0) return false;
    return readPnm(pam, out);
}

Pixels toRgba(const Pixels& p)
{
    Pixels out;
    out.width = p.width;
    out.height = p.height;
    out.channels = 4;
    const size_t count = static_cast<size_t>(p.width) * p.height;
    out.data.resize(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* s = &p.data[i * p.channels];
        uint8_t* d = &out.data[i * 4];
        switch (p.channels) {
        case 1: d[0] = d[1] = d[2] = s[0]; d[3] = 255; break;
        case 2: d[0] = d[1] = d[2] = s[0]; d[3] = s[1]; break;
        case 3: d[0] = s[0]; d[1] = s[1]; d[2] = s[2]; d[3] = 255; break;
        default: d[0] = s[0]; d[1] = s[1]; d[2] = s[2]; d[3] = s[3]; break;
        }
    }
    return out;
}

int maxDifference(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.channels != b.channels ||
        a.data.size() != b.data.size())
        return -1;
    int worst = 0;
    for (size_t i = 0; i < a.data.size(); ++i) worst = std::max(worst, std::abs(a.data[i] - b.data[i]));
    return worst;
}

int rgbDifference(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.data.size() != b.data.size()) return -1;
    int worst = 0;
    for (size_t i = 0; i < a.data.size(); i += 4)
        for (int c = 0; c < 3; c++) worst = std::max(worst, std::abs(a.data[i + c] - b.data[i + c]));
    return worst;
}

}  // namespace testsupport

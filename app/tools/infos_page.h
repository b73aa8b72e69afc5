#pragma once
// What the information page writes about a picture, apart from the page
// itself: the lines of its description from the file's header.
#include <string>

namespace fotrix {

struct PictureDescription {
    std::string type;        // the format's description
    std::string dimensions;  // "W x H"
    std::string depth;       // "24 bits"
    std::string resolution;  // "72 x 72 dpi"; 72 when the file stores none
    std::string pixels;      // W * H
};

// False when the file cannot be described (all lines empty).
bool DescribePicture(const std::string& path, PictureDescription& out);

}  // namespace fotrix

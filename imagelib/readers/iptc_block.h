#pragma once
// The metadata block form of IPTC data taken from Photoshop and TIFF files:
// "Photoshop 3.0", a NUL, then one image resource "8BIM" 0x0404 with an empty
// name, its 32-bit big-endian size and the datasets (padded to an even
// length), the same form a JPEG APP13 segment carries.
#include <cstdint>
#include <cstring>
#include <vector>

namespace fotrix {

inline constexpr char PhotoshopSignature[] = "Photoshop 3.0";  // 13 characters and the NUL: 14 bytes

inline std::vector<uint8_t> iptcResourceBlock(const uint8_t* data, uint32_t size)
{
    std::vector<uint8_t> block(PhotoshopSignature, PhotoshopSignature + 14);
    const uint8_t resource[] = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0,
                                static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                                static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
    block.insert(block.end(), resource, resource + sizeof resource);
    block.insert(block.end(), data, data + size);
    if (size & 1) block.push_back(0);
    return block;
}

// Photoshop image resources as they stand in a file, behind the same prefix.
inline std::vector<uint8_t> photoshopResourceBlock(const uint8_t* data, uint32_t size)
{
    std::vector<uint8_t> block(PhotoshopSignature, PhotoshopSignature + 14);
    block.insert(block.end(), data, data + size);
    return block;
}

}  // namespace fotrix

// The XMP packet of a GIF, kept in an application extension ("XMP Data", "XMP") whose bytes are
// the raw packet followed by a 258-byte trailer that lets plain GIF readers skip it as sub-blocks.
// Only the blocks are walked: the image data is copied as it stands.
#pragma once

#include <optional>
#include <string>

namespace lensbrook::sips {

// The packet of the first XMP extension, "" when there is none; nullopt when `gif` is not a
// well-formed GIF.
std::optional<std::string> readGifXmp(const std::string& gif);

// Returns `gif` with every XMP extension removed and, when `xmp` is not empty, one holding `xmp`
// placed after the logical screen descriptor and global colour table (a GIF87a becomes GIF89a,
// the first version with extensions). nullopt when `gif` is malformed or `xmp` holds a NUL byte,
// which would end the block early for readers that skip it.
std::optional<std::string> replaceGifXmp(const std::string& gif, const std::string& xmp);

}  // namespace lensbrook::sips

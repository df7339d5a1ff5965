// Replacing the metadata chunks of a PNG without touching its image data. Needed because exiv2
// 0.27 stores PNG EXIF as a text chunk that libvips and most viewers never read; the eXIf chunk
// is what both libvips and exiftool understand.
#pragma once

#include <optional>
#include <string>

namespace lensbrook::sips {

// Returns `png` with every EXIF and XMP chunk (eXIf, the "Raw profile type exif/APP1" text
// chunks, the "XML:com.adobe.xmp" iTXt) removed, and then `exif` (TIFF-structured bytes, no
// "Exif" prefix) as an eXIf chunk and `xmp` as an iTXt chunk inserted before the first IDAT,
// each only when not empty. nullopt when `png` is not a well-formed PNG.
std::optional<std::string> replacePngMetadata(const std::string& png, const std::string& exif,
                                              const std::string& xmp);

}  // namespace lensbrook::sips

// EXIF and XMP through exiv2: read from a source, edited, and written into a result, in every
// format that can hold them. Every function catches exiv2's exceptions and reports a sentence.
#pragma once

#include <exiv2/exiv2.hpp>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sips/arguments.h"

namespace lensbrook::sips {

struct Metadata {
  Exiv2::ExifData exif;
  Exiv2::XmpData xmp;
};

// Once per process, before any other function here.
void initMetadata();

// Whether files of `format` can carry the artist, copyright and description texts.
bool holdsMetadata(Format format);

// Why `edits` cannot be made in a file of `format`, or nullopt when they can. A text removed from
// a format that cannot hold one is already absent, so only setting one is refused.
std::optional<std::string> refuseEdits(Format format, const std::vector<MetadataEdit>& edits);

// What the image file at `path` carries; empty where exiv2 does not know the format.
Metadata readMetadata(const std::string& path);
// The same for an image held in memory (the JPEG inside a QuickTime image).
Metadata readMetadataFromMemory(std::string_view bytes);

// Sets or removes each property: the EXIF tag, and its XMP dc: twin where XMP is present.
void applyEdits(Metadata& metadata, const std::vector<MetadataEdit>& edits);

// For a result whose pixels were redrawn upright at `width` x `height`: orientation 1, the new
// size, no stale embedded thumbnail, and none of the source file's own layout tags.
void markRedrawn(Metadata& metadata, int width, int height);

// Adds `metadata` to the freshly encoded file at `path` (of `format`, JPEG data for qtif),
// replacing tags of the same name. Returns an error sentence, or nullopt on success.
std::optional<std::string> writeMetadata(const std::string& path, Format format,
                                         const Metadata& metadata);

// Stores a whole image file, given as its start and the rest; says whether it was stored.
using FileWriter = std::function<bool(std::string_view start, std::string_view rest)>;

// Hands `write` the image file `file` with `edits` applied to its metadata and nothing else
// changed: image data and the other tags stay as they are. Error sentence, or nullopt once
// `write` has stored it. exiv2 patches some formats' buffers in place, so `file` is scratch
// memory afterwards.
std::optional<std::string> editMetadata(std::span<char> file, Format format, const std::vector<MetadataEdit>& edits,
                                        const FileWriter& write);

}  // namespace lensbrook::sips

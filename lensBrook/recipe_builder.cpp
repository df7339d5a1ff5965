#include "lensBrook/recipe_builder.h"

#include <array>

namespace lensbrook {

namespace {

// Extensions of the fixed file-type entries 1 to 8; entry 0 accepts every type.
const std::array<std::vector<std::string>, 9> kFileTypeEntries = {{
    {},
    {"bmp"},
    {"gif"},
    {"jpg", "jpeg"},
    {"jp2"},
    {"pct", "pict"},
    {"psd"},
    {"png"},
    {"tif", "tiff"},
}};

void appendMetadata(std::vector<std::string>& list, bool ticked, const char* property,
                    const std::string& text) {
  if (!ticked) return;
  // A ticked box with no text strips the property from every image.
  if (text.empty()) {
    list.insert(list.end(), {"-d", property});
  } else {
    list.insert(list.end(), {"-s", property, text});
  }
}

std::vector<std::string> fileTypesOf(const DropletForm& form) {
  if (form.fileTypesIndex >= 0 && form.fileTypesIndex < int(kFileTypeEntries.size())) {
    return kFileTypeEntries[form.fileTypesIndex];
  }
  return splitAtSpaces(form.fileTypesText);
}

}  // namespace

std::string lowercased(std::string_view title) {
  std::string result(title);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return result;
}

std::vector<std::string> splitAtSpaces(std::string_view text) {
  std::vector<std::string> pieces;
  for (;;) {
    const std::size_t space = text.find(' ');
    pieces.emplace_back(text.substr(0, space));
    if (space == std::string_view::npos) return pieces;
    text.remove_prefix(space + 1);
  }
}

DropletRecipe buildDropletRecipe(const DropletForm& f) {
  DropletRecipe recipe;

  if (f.fileTypesIndex != 0) {
    recipe.fileAttributes["NSFileTypes"] = PropertyList::stringArray(fileTypesOf(f));
  }
  if (f.createBackupImage) recipe.fileAttributes["NSBackupImage"] = PropertyList::string("1");

  std::vector<std::string>& list = recipe.attributes;
  appendMetadata(list, f.modifyArtist, "artist", f.artist);
  appendMetadata(list, f.modifyCopyright, "copyright", f.copyright);
  appendMetadata(list, f.modifyDescription, "description", f.description);
  if (f.flipHorizontally) list.insert(list.end(), {"-f", "horizontal"});
  if (f.flipVertically) list.insert(list.end(), {"-f", "vertical"});
  if (f.modifyRotateImage) list.insert(list.end(), {"-r", f.rotateImage});
  if (f.modifyPadImage) list.insert(list.end(), {"-p", f.padImageHeight, f.padImageWidth});
  if (f.modifyCropImage) list.insert(list.end(), {"-c", f.cropImageHeight, f.cropImageWidth});
  if (f.modifyResampleImageMax) {
    list.insert(list.end(), {"--resampleHeightWidthMax", f.resampleImageMax});
  }
  if (f.modifyResampleImage) {
    const bool height = !f.resampleImageHeight.empty();
    const bool width = !f.resampleImageWidth.empty();
    if (height && width) {
      list.insert(list.end(), {"-z", f.resampleImageHeight, f.resampleImageWidth});
    } else if (width) {
      list.insert(list.end(), {"--resampleWidth", f.resampleImageWidth});
    } else if (height) {
      list.insert(list.end(), {"--resampleHeight", f.resampleImageHeight});
    }
  }
  if (f.addIcon) list.emplace_back("-i");
  if (f.modifyImageFormat) {
    list.insert(list.end(), {"-s", "format", lowercased(f.imageFormatTitle)});
  }
  if (f.modifyImageQuality) {
    list.insert(list.end(), {"-s", "formatOptions", lowercased(f.imageQualityTitle)});
  }
  return recipe;
}

}  // namespace lensbrook

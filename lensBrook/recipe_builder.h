// Turns the editor form into a droplet's recipe: the tool's argument list and the file-type dictionary.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "lensBrook/droplet_form.h"
#include "shared/property_list.h"

namespace lensbrook {

struct DropletRecipe {
  std::vector<std::string> attributes;                 // one element per tool argument
  std::map<std::string, PropertyList> fileAttributes;  // "NSFileTypes", "NSBackupImage"
};

// The recipe for `form`. Every text goes in exactly as typed, except the format and quality titles,
// which are lower-cased. Expects a form that findFormProblem() accepted; cannot fail.
DropletRecipe buildDropletRecipe(const DropletForm& form);

// `title` with every ASCII capital letter replaced by its small form, nothing else changed.
std::string lowercased(std::string_view title);

// `text` split at every single space; empty pieces are kept, so "" gives one empty piece.
std::vector<std::string> splitAtSpaces(std::string_view text);

}  // namespace lensbrook

// A built droplet copied to a temporary folder, with a recording stand-in for its image tool.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "shared/property_list.h"
#include "shared/string_table.h"
#include "tests/posix/temp_folder.h"

namespace lensbrook::testing {

struct DropletRun {
  int status = -1;
  std::string out, err;
};

using Call = std::vector<std::string>;

class DropletFixture : public ::testing::Test {
 protected:
  void SetUp() override;

  // Writes the two settings files as XML property lists; nullopt leaves that file out.
  void writeRecipe(const std::optional<std::vector<std::string>>& attributes,
                   const std::optional<PropertyList>& types);
  // Runs the droplet on `arguments` from the folder `folder` (the temporary one when empty),
  // with `input` as everything the user types.
  DropletRun drop(const std::vector<std::string>& arguments, const std::string& input = "\n",
                  const std::string& folder = "");
  // Every call the tool received so far, in order.
  std::vector<Call> calls();
  // The droplet's own text for `key` with `path` as its one argument, as it logs it.
  std::string logLine(const std::string& key, const std::string& path);
  // A file with `contents` and the date `date`.
  void makeFile(const std::string& path, const std::string& contents, FileTime date);

  TempFolder temp;
  PosixFileSystem files;
  std::string droplet = temp / "My Droplet.app";
  std::string tool = droplet + "/Contents/MacOS/sips";
  std::string launcher = droplet + "/Contents/MacOS/lensBrooklet";  // what drop() starts
  std::string recordPath = temp / "calls.record";
  StringTable texts;
  // Variables drop() sets on top of the test's environment, as "NAME=value".
  std::vector<std::string> environment;
};

// The lines of `text` that are exactly `line`.
int countLines(const std::string& text, const std::string& line);

}  // namespace lensbrook::testing

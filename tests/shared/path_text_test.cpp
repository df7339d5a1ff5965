#include "shared/path_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lensbrook {
namespace {

TEST(PathTextTest, ComponentsParentsAndAbsolutePaths) {
  struct Case {
    std::string path, trimmed, last, parent, absolute;
  };
  for (const Case& c : std::vector<Case>{{"/a/b.jpg", "/a/b.jpg", "b.jpg", "/a", "/a/b.jpg"},
                                         {"a/b//", "a/b", "b", "a", "/cwd/a/b//"},
                                         {"-x", "-x", "-x", ".", "/cwd/-x"},
                                         {"/top", "/top", "top", "/", "/top"},
                                         {"//", "/", "/", "/", "//"},
                                         {"a//b", "a//b", "b", "a", "/cwd/a//b"},
                                         {"new\nline \xff", "new\nline \xff", "new\nline \xff",
                                          ".", "/cwd/new\nline \xff"},
                                         {"", "", "", ".", "/cwd/"}}) {
    EXPECT_EQ(withoutTrailingSlashes(c.path), c.trimmed) << c.path;
    EXPECT_EQ(lastPathComponent(c.path), c.last) << c.path;
    EXPECT_EQ(parentPath(c.path), c.parent) << c.path;
    EXPECT_EQ(absolutePath("/cwd", c.path), c.absolute) << c.path;
  }
  EXPECT_EQ(absolutePath("/", "x"), "/x");
}

}  // namespace
}  // namespace lensbrook

#include "tests/droplet_integration/droplet_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string_view>

extern char** environ;

namespace lensbrook::testing {

void DropletFixture::SetUp() {
  ASSERT_TRUE(files.copyTree(LENSBROOKLET_BUNDLE, droplet));
  ::unlink(tool.c_str());
  ASSERT_TRUE(files.copyFile(FAKE_SIPS, tool));
  ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
  std::optional<std::string> table =
      files.readFile(droplet + "/Contents/Resources/en.lproj/lensBrookletEngine.strings");
  ASSERT_TRUE(table.has_value());
  texts = StringTable(parsePropertyList(*table));
}

void DropletFixture::writeRecipe(const std::optional<std::vector<std::string>>& attributes,
                                 const std::optional<PropertyList>& types) {
  std::string resources = droplet + "/Contents/Resources/";
  if (attributes) {
    ASSERT_TRUE(files.writeFileAtomically(resources + "dropletAttributes.plist",
                                          toXmlPropertyList(PropertyList::stringArray(*attributes))));
  }
  if (types) {
    ASSERT_TRUE(files.writeFileAtomically(resources + "dropletTypes.plist", toXmlPropertyList(*types)));
  }
}

DropletRun DropletFixture::drop(const std::vector<std::string>& arguments, const std::string& input,
                                const std::string& folder) {
  std::string inputPath = temp / "input.txt", outPath = temp / "out.txt", errPath = temp / "err.txt";
  files.writeFileAtomically(inputPath, input);
  std::string executable = launcher;
  std::vector<char*> argv = {executable.data()};
  std::vector<std::string> owned = arguments;
  for (std::string& argument : owned) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // No display: the droplet runs in the terminal whatever the test runs in.
  std::vector<std::string> variables = {"FAKE_SIPS_RECORD=" + recordPath};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    std::string_view text = *variable;
    bool names = text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=") ||
                 text.starts_with("QT_QPA_PLATFORM=");
    if (!names) variables.push_back(*variable);
  }
  variables.insert(variables.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string workingFolder = folder.empty() ? temp.path() : folder;
  posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  pid_t pid = -1;
  DropletRun run;
  if (posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = files.readFile(outPath).value_or("");
  run.err = files.readFile(errPath).value_or("");
  return run;
}

std::vector<Call> DropletFixture::calls() {
  std::vector<Call> all;
  std::string record = files.readFile(recordPath).value_or("");
  std::size_t at = 0;
  while (at < record.size()) {
    std::size_t lineEnd = record.find('\n', at);
    std::size_t count = std::stoul(record.substr(at, lineEnd - at));
    at = lineEnd + 1;
    Call call;
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t end = record.find('\0', at);
      call.push_back(record.substr(at, end - at));
      at = end + 1;
    }
    all.push_back(call);
  }
  return all;
}

std::string DropletFixture::logLine(const std::string& key, const std::string& path) {
  return texts.format(key, {path});
}

void DropletFixture::makeFile(const std::string& path, const std::string& contents, FileTime date) {
  writeText(path, contents);
  ASSERT_TRUE(files.setCreationDate(path, date));
}

int countLines(const std::string& text, const std::string& line) {
  std::string framed = "\n" + text, wanted = "\n" + line + "\n";
  int count = 0;
  for (std::size_t at = framed.find(wanted); at != std::string::npos; at = framed.find(wanted, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace lensbrook::testing

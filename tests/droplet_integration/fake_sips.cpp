// Stands in for the image tool inside a droplet under test. Every call is appended to the file
// named by FAKE_SIPS_RECORD as "<count>\n" and then each argument ended by a NUL byte, so any
// argument, newlines included, reads back exactly. An item's content steers the answers: its
// first line "H W" is the size a probe reports, and an item containing "fail" makes a processing
// run fail without writing anything. A run appends "+processed" to the item, or writes the item
// with it to the path after "--out".
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void record(const std::vector<std::string>& arguments) {
  const char* path = std::getenv("FAKE_SIPS_RECORD");
  if (path == nullptr) return;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << arguments.size() << '\n';
  for (const std::string& argument : arguments) out << argument << '\0';
}

bool readWhole(const std::string& path, std::string& contents) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  contents = buffer.str();
  return static_cast<bool>(in);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  record(arguments);
  if (arguments.empty()) return 1;
  std::string contents;
  if (arguments.size() == 5 && arguments[0] == "-g" && arguments[1] == "pixelHeight") {
    if (!readWhole(arguments[4], contents)) return 1;
    long height = 0, width = 0;
    std::istringstream(contents) >> height >> width;
    std::cout << arguments[4] << "\n  pixelHeight: " << height << "\n  pixelWidth: " << width
              << "\n";
    return 0;
  }
  std::size_t n = arguments.size();
  bool hasOut = n >= 3 && arguments[n - 2] == "--out";
  const std::string& item = arguments[hasOut ? n - 3 : n - 1];
  if (!readWhole(item, contents) || contents.find("fail") != std::string::npos) {
    std::cerr << "Error: cannot process " << item << "\n";
    return 1;
  }
  std::ofstream result(hasOut ? arguments[n - 1] : item, std::ios::binary | std::ios::trunc);
  result << contents << "+processed";
  return result ? 0 : 1;
}

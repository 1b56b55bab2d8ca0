#include "storage/disc_roots.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kest {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// The kernel writes space, tab, newline and backslash in paths as \ooo.
std::string Unescape(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsDiscFileSystem(const std::string& type) { return type == "iso9660" || type == "udf"; }

// The mount point of one line when it is a disc: the fifth field, and the
// type as the first field behind the lone "-" that ends the optional fields.
bool DiscMountPoint(const std::string& line, std::string& mountPoint) {
  std::istringstream fields(line);
  std::string field;
  std::vector<std::string> head;
  while (fields >> field && field != "-") head.push_back(field);
  std::string type;
  if (head.size() < 5 || !(fields >> type) || !IsDiscFileSystem(type)) return false;
  mountPoint = Unescape(head[4]);
  if (mountPoint.empty()) return false;
  if (mountPoint.back() != '/') mountPoint += '/';
  return true;
}

}  // namespace

std::vector<std::string> ReadDiscRoots(const std::string& mountTable) {
  std::vector<std::string> roots;
  std::ifstream table(mountTable);
  std::string line;
  while (std::getline(table, line)) {
    std::string root;
    if (DiscMountPoint(line, root) && std::find(roots.begin(), roots.end(), root) == roots.end())
      roots.push_back(std::move(root));
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

}  // namespace kest

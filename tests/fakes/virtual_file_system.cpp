#include "tests/fakes/virtual_file_system.h"

#include <algorithm>
#include <vector>

namespace lensbrook::fakes {
namespace {

std::vector<std::string> components(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path + "/") {
    if (c != '/') {
      part += c;
      continue;
    }
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  return parts;
}

std::string childOf(const std::string& parent, const std::string& name) {
  return parent == "/" ? "/" + name : parent + "/" + name;
}

std::string normalized(const std::string& path) {
  std::string out;
  for (const auto& part : components(path)) out += "/" + part;
  return out.empty() ? "/" : out;
}

std::string parentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string lastComponent(const std::string& path) {
  const auto parts = components(path);
  return parts.empty() ? "/" : parts.back();
}

}  // namespace

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : " ") + part;
  return out;
}

VirtualFileSystem::Node& VirtualFileSystem::make(const std::string& rawPath, Kind kind) {
  const std::string path = normalized(rawPath);
  if (!nodes_.count("/")) nodes_["/"].kind = Kind::Directory;
  if (path != "/" && !nodes_.count(path)) {
    const std::string parent = parentOf(path);
    if (!nodes_.count(parent)) make(parent, Kind::Directory);
    nodes_[parent].children.push_back(lastComponent(path));
  }
  Node& node = nodes_[path];
  node.kind = kind;
  return node;
}

void VirtualFileSystem::addFile(const std::string& path, const std::string& contents, FileTime date) {
  Node& node = make(path, Kind::File);
  node.contents = contents;
  node.date = date;
}

void VirtualFileSystem::addDirectory(const std::string& path, FileTime date) { make(path, Kind::Directory).date = date; }

void VirtualFileSystem::addLink(const std::string& path, const std::string& target) {
  make(path, Kind::Link).target = target;
}

std::string VirtualFileSystem::resolvedPath(const std::string& path) const {
  std::string current = "/";
  std::vector<std::string> pending = components(path);
  std::reverse(pending.begin(), pending.end());
  int linksFollowed = 0;
  while (!pending.empty()) {
    const std::string name = pending.back();
    pending.pop_back();
    const std::string next = childOf(current, name);
    const auto it = nodes_.find(next);
    if (it == nodes_.end()) return "";
    if (it->second.kind != Kind::Link) {
      current = next;
      continue;
    }
    if (++linksFollowed > 40) return "";  // a loop of links
    const std::string& target = it->second.target;
    // A relative target is joined to the link's folder; either way the walk restarts at the root.
    const auto targetParts = components(target.starts_with('/') ? target : current + "/" + target);
    current = "/";
    pending.insert(pending.end(), targetParts.rbegin(), targetParts.rend());
  }
  return nodes_.count(current) ? current : "";
}

const VirtualFileSystem::Node* VirtualFileSystem::resolve(const std::string& path) const {
  const std::string real = resolvedPath(path);
  if (real.empty()) return nullptr;
  const auto it = nodes_.find(real);
  return it == nodes_.end() ? nullptr : &it->second;
}

VirtualFileSystem::Node* VirtualFileSystem::resolveMutable(const std::string& path) {
  return const_cast<Node*>(resolve(path));
}

bool VirtualFileSystem::hasFile(const std::string& path) const {
  const Node* node = resolve(path);
  return node && node->kind == Kind::File;
}

std::string VirtualFileSystem::contents(const std::string& path) const {
  const Node* node = resolve(path);
  return node && node->kind == Kind::File ? node->contents : "";
}

FileTime VirtualFileSystem::dateOf(const std::string& path) const {
  const Node* node = resolve(path);
  return node ? node->date : -1;
}

bool VirtualFileSystem::exists(const std::string& path) {
  record("exists " + path);
  return resolve(path) != nullptr;
}

bool VirtualFileSystem::isDirectory(const std::string& path) {
  record("isDirectory " + path);
  const Node* node = resolve(path);
  return node && node->kind == Kind::Directory;
}

bool VirtualFileSystem::isPackage(const std::string& path) {
  record("isPackage " + path);
  const Node* node = resolve(path);
  return node && node->kind == Kind::Directory && lastComponent(path).ends_with(".app");
}

void VirtualFileSystem::listBelow(const std::string& path, const std::string& relative,
                                  std::vector<std::string>& out) const {
  const auto it = nodes_.find(path);
  if (it == nodes_.end() || unlistable.count(path)) return;
  for (const auto& name : it->second.children) {
    const std::string rel = relative.empty() ? name : relative + "/" + name;
    out.push_back(rel);
    const std::string child = childOf(path, name);
    if (nodes_.at(child).kind == Kind::Directory) listBelow(child, rel, out);
  }
}

std::vector<std::string> VirtualFileSystem::listTree(const std::string& dir) {
  record("listTree " + dir);
  std::vector<std::string> out;
  const Node* node = resolve(dir);
  if (node && node->kind == Kind::Directory && !unlistable.count(normalized(dir))) {
    listBelow(resolvedPath(dir), "", out);
  }
  return out;
}

std::string VirtualFileSystem::displayName(const std::string& path) {
  record("displayName " + path);
  return lastComponent(path);
}

std::optional<std::string> VirtualFileSystem::readFile(const std::string& path) {
  record("readFile " + path);
  const Node* node = resolve(path);
  if (unreadable.count(path) || !node || node->kind != Kind::File) return std::nullopt;
  return node->contents;
}

bool VirtualFileSystem::writeFileAtomically(const std::string& path, const std::string& contents) {
  record("writeFileAtomically " + path);
  const Node* parent = resolve(parentOf(normalized(path)));
  const Node* existing = resolve(path);
  if (readOnly.count(path) || !parent || parent->kind != Kind::Directory) return false;
  if (existing && existing->kind != Kind::File) return false;
  const std::string real = existing ? resolvedPath(path) : childOf(resolvedPath(parentOf(normalized(path))), lastComponent(path));
  addFile(real, contents, existing ? existing->date : 0);
  return true;
}

std::optional<FileTime> VirtualFileSystem::creationDate(const std::string& path) {
  record("creationDate " + path);
  const Node* node = resolve(path);
  if (unreadable.count(path) || !node) return std::nullopt;
  return node->date;
}

bool VirtualFileSystem::setCreationDate(const std::string& path, FileTime date) {
  record("setCreationDate " + path + " " + std::to_string(date));
  Node* node = resolveMutable(path);
  if (readOnly.count(path) || !node) return false;
  node->date = date;
  return true;
}

bool VirtualFileSystem::copyFile(const std::string& from, const std::string& to) {
  record("copyFile " + from + " " + to);
  const Node* source = resolve(from);
  const Node* parent = resolve(parentOf(normalized(to)));
  if (!source || source->kind != Kind::File || readOnly.count(to) || nodes_.count(normalized(to))) return false;
  if (!parent || parent->kind != Kind::Directory) return false;
  const Node copy = *source;
  addFile(to, copy.contents, copy.date);
  return true;
}

void VirtualFileSystem::copyNode(const std::string& from, const std::string& to) {
  const Node source = nodes_.at(from);
  Node& target = make(to, source.kind);
  target.contents = source.contents;
  target.target = source.target;
  target.date = source.date;
  for (const auto& name : source.children) copyNode(childOf(from, name), childOf(to, name));
}

bool VirtualFileSystem::copyTree(const std::string& from, const std::string& to) {
  record("copyTree " + from + " " + to);
  const std::string real = resolvedPath(from);
  const Node* parent = resolve(parentOf(normalized(to)));
  if (real.empty() || readOnly.count(to) || nodes_.count(normalized(to))) return false;
  if (!parent || parent->kind != Kind::Directory) return false;
  copyNode(real, normalized(to));
  return true;
}

}  // namespace lensbrook::fakes

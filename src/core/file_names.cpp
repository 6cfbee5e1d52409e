#include "core/file_names.h"

#include <sys/stat.h>
#if defined(__linux__)
#include <sys/auxv.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace morvik {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string ResolveFileName(const std::string& path) {
  std::error_code ec;
  // A link counts as an entry of that name even when it names nothing.
  if (path.empty() || fs::exists(fs::symlink_status(path, ec))) return path;
  const fs::path p(path);
  const std::string name = p.filename().string();
  const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (SameIgnoringCase(candidate, name)) matches.push_back(candidate);
  }
  if (matches.empty()) return path;
  const std::string found = *std::min_element(matches.begin(), matches.end());
  return p.has_parent_path() ? (p.parent_path() / found).string() : found;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(ResolveFileName(path), ec);
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(ResolveFileName(path), ec);
}

bool EntryExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(ResolveFileName(path), ec));
}

std::string FolderProblem(const std::string& path) {
  if (path.empty()) return "folder not found";
  struct stat st {};
  if (stat(ResolveFileName(path).c_str(), &st) == 0)
    return S_ISDIR(st.st_mode) ? "" : "not a folder";
  switch (errno) {
    case ENAMETOOLONG:
      return "folder name too long";
    case ENOENT:
    case ENOTDIR:
      return "folder not found";
    default:
      return std::string("folder cannot be opened (") + std::strerror(errno) + ")";
  }
}

std::string MakeRelativeTo(const std::string& path, const std::string& home) {
  const fs::path target = fs::path(path).lexically_normal();
  if (!target.is_absolute()) return path;
  const fs::path base = fs::path(home).lexically_normal();
  std::vector<std::string> t, b;
  for (const fs::path& part : target) t.push_back(part.string());
  for (const fs::path& part : base)
    if (!part.empty()) b.push_back(part.string());
  std::size_t shared = 0;
  while (shared < t.size() && shared < b.size() && SameIgnoringCase(t[shared], b[shared])) ++shared;
  fs::path result;
  for (std::size_t k = shared; k < b.size(); ++k) result /= "..";
  for (std::size_t k = shared; k < t.size(); ++k) result /= t[k];
  return result.string();
}

std::string StripExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return fileName;
  return fileName.substr(0, dot);
}

std::string JoinPath(const std::string& folder, const std::string& path) {
  if (folder.empty() || (!path.empty() && path[0] == '/')) return path;
  return folder.back() == '/' ? folder + path : folder + "/" + path;
}

std::string FolderOfFile(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool SameFileOnDisk(const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> ia = IdentityOf(a);
  return ia && ia == IdentityOf(b);
}

std::string ExecutableFolder(const char* argv0) {
  // Found once a process: a run looks beside the program several times (its home, the stock
  // library, the word table). The path it was started by names the program's file unless it
  // is a link, whose target may lie elsewhere; only then is /proc asked to resolve it, a path
  // lookup in the kernel that costs some ten times a file's status. A relative one is taken
  // only from main (as argv0), which has not left the folder it started in.
  static const fs::path running = [argv0] {
#if defined(__linux__)
    const auto* started = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    struct stat st {};
    const bool fromMain =
        argv0 != nullptr && started != nullptr && std::strcmp(argv0, started) == 0;
    if (started != nullptr && (started[0] == '/' || fromMain) && ::lstat(started, &st) == 0 &&
        S_ISREG(st.st_mode)) {
      std::error_code ec;
      const fs::path path = started[0] == '/' ? fs::path(started) : fs::current_path(ec) / started;
      if (!ec) return path;
    }
#endif
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
  }();
  fs::path exe = running;
  std::error_code ec;
  if (exe.empty() && argv0) exe = fs::absolute(argv0, ec);
  return exe.parent_path().string();
}

}  // namespace morvik

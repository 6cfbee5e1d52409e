// File-name helpers: case-insensitive lookup (names built as ".PCP" must reach "x.pcp"),
// paths relative to the program's home folder, and base names of chosen set files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace morvik {

// The path itself when it exists; otherwise the entry of its folder whose name matches the
// last component without regard to ASCII case (the first in byte order when several do);
// otherwise the path unchanged.
std::string ResolveFileName(const std::string& path);

bool FileExists(const std::string& path);       // a regular file, matched as above
bool DirectoryExists(const std::string& path);  // a folder, matched as above
// An entry of any kind (a file, a folder, a FIFO ...), matched as above; a link counts even
// when it names nothing.
bool EntryExists(const std::string& path);

// What keeps path from being used as a folder: "folder not found", "folder name too long"
// (longer than the system allows), "not a folder", or "folder cannot be opened (<reason>)";
// an empty string when it is a folder (matched as above).
std::string FolderProblem(const std::string& path);

// path relative to folder `home`: shared leading folders (compared without regard to case)
// are dropped, every remaining level of home becomes "..". A relative path is returned
// unchanged. "/app" and "/app/sets/a" give "sets/a"; "/app" and "/data/a" give "../data/a".
std::string MakeRelativeTo(const std::string& path, const std::string& home);

// The chosen file's name without its extension (the text from the last "." of the name
// part); a name without extension stays whole.
std::string StripExtension(const std::string& fileName);

// path joined to folder with "/", unless path is absolute.
std::string JoinPath(const std::string& folder, const std::string& path);

// The folder a file's path lies in: the text before the last "/" ("/" for a file at the
// root), or "." for a bare name.
std::string FolderOfFile(const std::string& path);

// The device and inode of the file or folder path names (links followed), which tell one
// file however it is spelled or linked; none when there is no such file.
using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Whether both paths exist and name the same file or folder by IdentityOf.
bool SameFileOnDisk(const std::string& a, const std::string& b);

}  // namespace morvik

// File names as a user types them: joined to the folder the program was started in, found
// in any case, told apart by what they name on disk; and the folders the program lives in.
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

// What keeps path from being used as a folder: "folder not found", "folder name too long"
// (longer than the system allows), "not a folder", or "folder cannot be opened (<reason>)";
// an empty string when it is a folder (matched as above).
std::string FolderProblem(const std::string& path);

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

// $MORVIK_HOME when set and not empty, else the folder of the running executable
// (argv0's folder when /proc cannot tell): where the settings file, relative run folders
// and set names of the folder runs live.
std::string FindHomeFolder(const char* argv0);

// The folder of the running executable (argv0's folder when /proc cannot tell), where the
// data that comes with the program is found whatever MORVIK_HOME says. Pass main's argv[0]
// only from a program's main before it changes its folder, else nullptr: the relative path
// a program was started by is then resolved against the current folder.
std::string ExecutableFolder(const char* argv0);

// The process's current folder at the moment of the call.
std::string CurrentProcessFolder();

}  // namespace morvik

// Reading a picture file or stream whole into memory, safely: only regular files, within the
// size cap, and nothing past the first bytes of one that cannot be a picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/picture_limits.h"

namespace morvik {

// Refuses (throws) a file whose first bytes cannot begin a picture. It sees the first
// kStartBytes bytes, fewer only when the file is shorter.
using StartCheck = void (*)(const std::uint8_t* data, std::size_t size, const std::string& name);
constexpr std::size_t kStartBytes = 16;

// The bytes of the regular file at path. Anything else (a folder, a FIFO, a device) is refused
// without blocking: the file is opened non-blocking and checked through the opened descriptor,
// so the check and the read concern the same file. Throws FileError(path, ...) when the file
// cannot be opened or read, the path is too long, or the file exceeds kMaxPictureFileBytes;
// `check`, when given, sees the first bytes before the rest is read.
std::vector<std::uint8_t> ReadPictureBytes(const std::string& path, StartCheck check = nullptr);

// The bytes of a stream (standard input, a pipe) up to its end. `check`, when given, sees the
// first bytes before more is read; a stream longer than maxBytes is refused with kTooLarge as
// soon as it passes the cap, never held beyond it. Throws FileError(name, ...).
std::vector<std::uint8_t> ReadPictureStream(int fd, const std::string& name,
                                            std::int64_t maxBytes = kMaxPictureFileBytes,
                                            StartCheck check = nullptr);

}  // namespace morvik

// Reading a picture file whole into memory, safely: only regular files, within the size cap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvik {

// The bytes of the regular file at path. Anything else (a folder, a FIFO, a device) is refused
// without blocking: the file is opened non-blocking and checked through the opened descriptor,
// so the check and the read concern the same file. Throws FileError(path, ...) when the file
// cannot be opened or read, the path is too long, or the file exceeds kMaxPictureFileBytes.
std::vector<std::uint8_t> ReadPictureBytes(const std::string& path);

}  // namespace morvik

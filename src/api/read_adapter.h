// The one place the public API calls the engine's reading and learning of whole pictures:
// where their signatures change, only these adapters follow.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "api/library_core.h"
#include "api/reading_source.h"
#include "image/bitmap.h"
#include "image/picture_reader.h"
#include "learning/learn_picture.h"
#include "morvik/reading.h"
#include "reading/read_picture.h"

namespace morvik {

// The engine's options for the public settings. Throws Error kUsage for values the command
// line would refuse (a grid with a size below 1, a grid and a table, Reject outside 0..1,
// a bad character list, a percentage out of range).
ReadOptions EngineReadOptions(const ReadSettings& settings);
CutOptions EngineCutOptions(const CutSettings& cut);
SetSettings EngineOverrides(const SamplingOverrides& sampling);

// Throws Error kUsage "<what> is a percentage from <low> to 100" for a value outside that.
void CheckPercent(const std::optional<int>& value, int low, const char* what);

// The picture of a file, of a file's bytes or of what a descriptor reads. A decoder's
// refusal that carries no kind of its own is bad data: the bytes were there but are no
// picture this program reads.
Bitmap PictureOfFile(const std::string& path);
Bitmap PictureOfBytes(const void* data, std::size_t size, const std::string& name);
Bitmap PictureOfDescriptor(int fd, const std::string& name);
// The picture of a file, a grey file kept grey: as decoded, and for a public Picture.
DecodedPicture DecodedFile(const std::string& path);
std::shared_ptr<const PictureCore> PictureCoreOfFile(const std::string& path);

// Reads the picture with the library as prepared: it is only read, so threads share it.
PictureReading ReadWithLibrary(const Bitmap& picture, const LibraryCore& library,
                               const ReadOptions& options);

}  // namespace morvik

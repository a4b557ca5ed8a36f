#pragma once

#include "platform/file_system.h"

#include <cstddef>
#include <functional>

namespace zuv::platform {

// One read of at most `size` bytes into `data`: 0 with the count in `got` (0 at the end of the
// file), or the system error code.
using ReadSome = std::function<int(char* data, std::size_t size, std::size_t& got)>;

// Reads a file whose size the system gave as `reportedSize` (at most `maxBytes`) to its end. The
// file may have grown since its size was asked: reading goes on up to `maxBytes` and stops
// there, so that outside input never takes unbounded memory. On an error the content is empty.
FileContent ReadBounded(std::size_t reportedSize, std::size_t maxBytes, const ReadSome& readSome);

} // namespace zuv::platform

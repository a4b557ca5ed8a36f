#include "platform/bounded_read.h"

#include "platform/zuvora_error.h"

#include <algorithm>

namespace zuv::platform {

FileContent ReadBounded(std::size_t reportedSize, std::size_t maxBytes, const ReadSome& readSome)
{
    FileContent content;
    content.data.resize(std::min(reportedSize, maxBytes));
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.data.size()) {
            if (content.data.size() >= maxBytes)
                break;
            content.data.resize(std::min(maxBytes, content.data.size() + 65536));
        }
        std::size_t got = 0;
        if (const int error =
                readSome(content.data.data() + filled, content.data.size() - filled, got);
            error != 0) {
            content.error = SystemError(error);
            content.data.clear();
            return content;
        }
        if (got == 0)
            break;
        filled += got;
    }
    content.data.resize(filled);
    return content;
}

} // namespace zuv::platform

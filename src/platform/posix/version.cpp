#include "platform/version.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace zuv::platform {

namespace {

std::string RealPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

} // namespace

std::optional<FixedFileVersion> ReadFixedFileVersion(const std::string& path)
{
    const std::string file = RealPath(path);
    if (file.empty() || file != RealPath("/proc/self/exe"))
        return std::nullopt;
    return BuildVersion();
}

} // namespace zuv::platform

namespace zuv::platform {

std::string ReadFileVersionValue(const std::string&, const std::string&)
{
    return {};
}

} // namespace zuv::platform

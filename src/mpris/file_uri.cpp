#include "mpris/file_uri.h"

#include "util/text_utils.h"

namespace zuv {

namespace {

bool KeptInUri(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::string> FileUriOfPath(std::string_view path)
{
    if (!path.starts_with('/'))
        return std::nullopt;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeptInUri(byte)) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

std::optional<std::string> PathOfFileUri(std::string_view uri)
{
    constexpr std::string_view kScheme = "file:";
    if (!StartsWithIgnoreCase(uri, kScheme))
        return std::nullopt;
    std::string_view rest = uri.substr(kScheme.size());
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return std::nullopt;
        // Only this machine's files can be played.
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !EqualsIgnoreCase(host, "localhost"))
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    // A query or a fragment is no part of the file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (!rest.starts_with('/'))
        return std::nullopt;

    std::string path;
    path.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size())
            return std::nullopt;
        const int high = HexValue(rest[i + 1]);
        const int low = HexValue(rest[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        const char decoded = static_cast<char>(high * 16 + low);
        // A zero byte would cut the name short behind the caller's back.
        if (decoded == '\0')
            return std::nullopt;
        path += decoded;
        i += 2;
    }
    return path;
}

} // namespace zuv

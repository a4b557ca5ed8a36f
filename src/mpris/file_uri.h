#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zuv {

// The "file://" URL of an absolute path: every byte but letters, digits, "-._~" and "/" written
// as %XX, so that blanks and non-ASCII names survive; none for a path that is not absolute.
std::optional<std::string> FileUriOfPath(std::string_view path);

// The local path a "file:" URL names ("file:///a", "file://localhost/a" or "file:/a"), with its
// %XX escapes decoded. None for another scheme, another host, a broken escape, an escaped zero
// byte or a path that is not absolute.
std::optional<std::string> PathOfFileUri(std::string_view uri);

} // namespace zuv

#pragma once

#include "platform/zuvora_error.h"

#include <string>
#include <system_error>

namespace zuv {

// The registry's "not found" (ERROR_FILE_NOT_FOUND): a missing key or value.
inline const std::error_code kRegistryNotFound = platform::SystemError(2);

// String values under HKEY_CLASSES_ROOT. Keys are paths with "\" between their parts; an empty
// value name means the key's default value. Every operation answers the system's error, if any.
class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    // kRegistryNotFound when the key or the value is missing; `text` is set only on success.
    virtual std::error_code ReadString(const std::string& key, const std::string& valueName,
                                       std::string& text) = 0;
    // Creates the key (and the keys above it) when missing.
    virtual std::error_code WriteString(const std::string& key, const std::string& valueName,
                                        const std::string& text) = 0;
    virtual std::error_code DeleteValue(const std::string& key, const std::string& valueName) = 0;
};

} // namespace zuv

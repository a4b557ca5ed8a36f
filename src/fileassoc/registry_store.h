#pragma once

#include <string>

namespace zuv {

// The registry's "not found" code (ERROR_FILE_NOT_FOUND): a missing key or value.
inline constexpr int kRegistryNotFound = 2;

// String values under HKEY_CLASSES_ROOT. Keys are paths with "\" between their parts; an empty
// value name means the key's default value. Every operation answers 0 or a system error code.
class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    // kRegistryNotFound when the key or the value is missing; `text` is set only on success.
    virtual int ReadString(const std::string& key, const std::string& valueName,
                           std::string& text) = 0;
    // Creates the key (and the keys above it) when missing.
    virtual int WriteString(const std::string& key, const std::string& valueName,
                            const std::string& text) = 0;
    virtual int DeleteValue(const std::string& key, const std::string& valueName) = 0;
};

} // namespace zuv

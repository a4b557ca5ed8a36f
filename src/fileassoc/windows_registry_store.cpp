#include "fileassoc/windows_registry_store.h"

#include "platform/zuvora_error.h"

#include <utility>

namespace zuv {

WindowsRegistryStore::WindowsRegistryStore(platform::RegistryRoot root, std::string baseKey)
    : m_root(root), m_baseKey(std::move(baseKey))
{}

std::string WindowsRegistryStore::FullKey(const std::string& key) const
{
    return m_baseKey.empty() ? key : m_baseKey + "\\" + key;
}

std::error_code WindowsRegistryStore::ReadString(const std::string& key,
                                                 const std::string& valueName, std::string& text)
{
    // `text` is set only on success, whatever the registry did to its own buffer.
    std::string value;
    const std::error_code error =
        platform::SystemError(platform::ReadRegString(m_root, FullKey(key), valueName, value));
    if (!error)
        text = std::move(value);
    return error;
}

std::error_code WindowsRegistryStore::WriteString(const std::string& key,
                                                  const std::string& valueName,
                                                  const std::string& text)
{
    return platform::SystemError(platform::WriteRegString(m_root, FullKey(key), valueName, text));
}

std::error_code WindowsRegistryStore::DeleteValue(const std::string& key,
                                                  const std::string& valueName)
{
    return platform::SystemError(platform::DeleteRegValue(m_root, FullKey(key), valueName));
}

} // namespace zuv

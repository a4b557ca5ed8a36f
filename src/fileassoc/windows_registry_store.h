#pragma once

#include "fileassoc/registry_store.h"
#include "platform/win32/registry.h"

#include <string>

namespace zuv {

// The registry store over the Windows registry: HKEY_CLASSES_ROOT, or for tests any key below
// another root, under which the keys of the file-type layout are made.
class WindowsRegistryStore : public RegistryStore
{
public:
    explicit WindowsRegistryStore(platform::RegistryRoot root = platform::RegistryRoot::ClassesRoot,
                                  std::string baseKey = {});

    std::error_code ReadString(const std::string& key, const std::string& valueName,
                               std::string& text) override;
    std::error_code WriteString(const std::string& key, const std::string& valueName,
                                const std::string& text) override;
    std::error_code DeleteValue(const std::string& key, const std::string& valueName) override;

private:
    std::string FullKey(const std::string& key) const;

    platform::RegistryRoot m_root;
    std::string m_baseKey;
};

} // namespace zuv

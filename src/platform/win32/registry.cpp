#include "platform/win32/registry.h"

#include "platform/win32/windows_headers.h"

#include <cstring>

namespace zuv::platform {

namespace {

HKEY RootKey(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CLASSES_ROOT;
}

// A registry value holds at most this much; a larger one is no text of ours.
constexpr DWORD kLargestValue = 1024 * 1024;

class ScopedKey
{
public:
    ScopedKey() = default;
    ~ScopedKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

const char* ValueName(const std::string& name)
{
    return name.empty() ? nullptr : name.c_str();
}

} // namespace

int ReadRegString(RegistryRoot root, const std::string& key, const std::string& valueName,
                  std::string& text)
{
    ScopedKey opened;
    if (const LONG error = ::RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, opened.Out());
        error != ERROR_SUCCESS)
        return static_cast<int>(error);
    text.clear();
    // The size first, then the value; it may grow in between, so ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG error =
            ::RegQueryValueExA(opened.Get(), ValueName(valueName), nullptr, &type, nullptr, &size);
        if (error != ERROR_SUCCESS)
            return static_cast<int>(error);
        if (size > kLargestValue)
            return ERROR_FILE_TOO_LARGE;
        std::string data(size, '\0');
        error = ::RegQueryValueExA(opened.Get(), ValueName(valueName), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
        if (error == ERROR_MORE_DATA)
            continue;
        if (error != ERROR_SUCCESS)
            return static_cast<int>(error);
        data.resize(std::min<std::size_t>(size, data.size()));
        // Up to the first NUL: a value without one (or of another type) ends with its data.
        text = data.substr(0, data.find('\0'));
        return 0;
    }
    return ERROR_MORE_DATA;
}

int WriteRegString(RegistryRoot root, const std::string& key, const std::string& valueName,
                   const std::string& text)
{
    ScopedKey created;
    if (const LONG error =
            ::RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, created.Out(), nullptr);
        error != ERROR_SUCCESS)
        return static_cast<int>(error);
    return static_cast<int>(::RegSetValueExA(created.Get(), ValueName(valueName), 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(text.c_str()),
                                             static_cast<DWORD>(text.size() + 1)));
}

int DeleteRegValue(RegistryRoot root, const std::string& key, const std::string& valueName)
{
    ScopedKey opened;
    if (const LONG error = ::RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_WRITE, opened.Out());
        error != ERROR_SUCCESS)
        return static_cast<int>(error);
    const LONG error = ::RegDeleteValueA(opened.Get(), ValueName(valueName));
    return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(error);
}

int ListRegValueNames(RegistryRoot root, const std::string& key, std::vector<std::string>& names)
{
    ScopedKey opened;
    if (const LONG error = ::RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, opened.Out());
        error != ERROR_SUCCESS)
        return static_cast<int>(error);
    DWORD count = 0;
    DWORD longestName = 0;
    if (const LONG error =
            ::RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &count, &longestName, nullptr, nullptr, nullptr);
        error != ERROR_SUCCESS)
        return static_cast<int>(error);
    names.clear();
    std::string name(longestName + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG error = ::RegEnumValueA(opened.Get(), index, name.data(), &length, nullptr,
                                           nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS)
            return 0;
        if (error == ERROR_MORE_DATA) {
            // A longer name came since the key was asked: take this index again.
            name.resize(name.size() * 2 + 256);
            --index;
            continue;
        }
        if (error != ERROR_SUCCESS)
            return static_cast<int>(error);
        names.emplace_back(name.data(), length);
    }
}

int DeleteRegTree(RegistryRoot root, const std::string& key)
{
    const LONG error = ::RegDeleteTreeA(RootKey(root), key.c_str());
    return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(error);
}

} // namespace zuv::platform

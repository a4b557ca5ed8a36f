#include "support/memory_registry_store.h"

#include "util/text_utils.h"

#include <algorithm>

namespace zuv::test {

std::optional<std::error_code> MemoryRegistryStore::InjectedError(Operation operation,
                                                                  const std::string& key) const
{
    for (const Failure& failure : m_failures) {
        if (failure.operation == operation &&
            (failure.key.empty() || EqualsIgnoreCase(failure.key, key)))
            return platform::SystemError(failure.error);
    }
    return std::nullopt;
}

std::error_code MemoryRegistryStore::ReadString(const std::string& key,
                                                const std::string& valueName, std::string& text)
{
    if (const auto error = InjectedError(Operation::Read, key))
        return *error;
    const auto found = m_keys.find(ToUpperAscii(key));
    if (found == m_keys.end())
        return kRegistryNotFound;
    const auto value = found->second.values.find(ToUpperAscii(valueName));
    if (value == found->second.values.end())
        return kRegistryNotFound;
    text = value->second.text;
    return {};
}

std::error_code MemoryRegistryStore::WriteString(const std::string& key,
                                                 const std::string& valueName,
                                                 const std::string& text)
{
    if (const auto error = InjectedError(Operation::Write, key))
        return *error;
    Set(key, valueName, text);
    m_changes.push_back("write " + key + "|" + valueName + "=" + text);
    return {};
}

std::error_code MemoryRegistryStore::DeleteValue(const std::string& key,
                                                 const std::string& valueName)
{
    if (const auto error = InjectedError(Operation::Delete, key))
        return *error;
    const auto found = m_keys.find(ToUpperAscii(key));
    if (found == m_keys.end())
        return kRegistryNotFound;
    if (found->second.values.erase(ToUpperAscii(valueName)) == 0)
        return kRegistryNotFound;
    m_changes.push_back("delete " + key + "|" + valueName);
    return {};
}

void MemoryRegistryStore::Set(const std::string& key, const std::string& valueName,
                              const std::string& text)
{
    Key& entry = m_keys[ToUpperAscii(key)];
    if (entry.path.empty())
        entry.path = key;
    Value& value = entry.values[ToUpperAscii(valueName)];
    if (value.name.empty())
        value.name = valueName;
    value.text = text;
}

std::optional<std::string> MemoryRegistryStore::Get(const std::string& key,
                                                    const std::string& valueName) const
{
    const auto found = m_keys.find(ToUpperAscii(key));
    if (found == m_keys.end())
        return std::nullopt;
    const auto value = found->second.values.find(ToUpperAscii(valueName));
    if (value == found->second.values.end())
        return std::nullopt;
    return value->second.text;
}

bool MemoryRegistryStore::HasKey(const std::string& key) const
{
    return m_keys.count(ToUpperAscii(key)) != 0;
}

std::vector<std::string> MemoryRegistryStore::Dump() const
{
    std::vector<std::string> lines;
    for (const auto& [upper, key] : m_keys) {
        for (const auto& [name, value] : key.values)
            lines.push_back(key.path + "|" + value.name + "=" + value.text);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void MemoryRegistryStore::FailOn(Operation operation, const std::string& key, int error)
{
    m_failures.push_back({operation, key, error});
}

} // namespace zuv::test

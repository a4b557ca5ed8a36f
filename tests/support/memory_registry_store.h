#pragma once

#include "fileassoc/registry_store.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zuv::test {

// A registry held in memory: key paths and value names are matched without regard to letter case,
// as the Windows registry does. Tests set it up, inspect every value, see each change in order and
// make chosen operations fail.
class MemoryRegistryStore : public RegistryStore
{
public:
    enum class Operation
    {
        Read,
        Write,
        Delete
    };

    std::error_code ReadString(const std::string& key, const std::string& valueName,
                               std::string& text) override;
    std::error_code WriteString(const std::string& key, const std::string& valueName,
                                const std::string& text) override;
    std::error_code DeleteValue(const std::string& key, const std::string& valueName) override;

    // Sets a value without recording a change.
    void Set(const std::string& key, const std::string& valueName, const std::string& text);
    std::optional<std::string> Get(const std::string& key, const std::string& valueName) const;
    bool HasKey(const std::string& key) const;
    // Every value as "key|name=text", sorted; default values have an empty name.
    std::vector<std::string> Dump() const;

    // Changes made through the store interface, in order: "write key|name=text", "delete key|name".
    const std::vector<std::string>& Changes() const { return m_changes; }
    void ClearChanges() { m_changes.clear(); }

    // Makes `operation` on `key` (letter case ignored; empty: any key) answer the system code
    // `error`.
    void FailOn(Operation operation, const std::string& key, int error);

private:
    struct Value
    {
        std::string name;
        std::string text;
    };
    struct Key
    {
        std::string path;
        std::map<std::string, Value> values; // by upper-case name
    };

    std::optional<std::error_code> InjectedError(Operation operation, const std::string& key) const;

    std::map<std::string, Key> m_keys; // by upper-case path
    std::vector<std::string> m_changes;
    struct Failure
    {
        Operation operation;
        std::string key;
        int error;
    };
    std::vector<Failure> m_failures;
};

} // namespace zuv::test

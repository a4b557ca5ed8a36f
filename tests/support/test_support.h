#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zuv::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, with a trailing "/".
    const std::string& path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + std::string(name); }

private:
    std::string m_path;
};

// Sets (or unsets, with nullopt) an environment variable until the end of the scope.
class ScopedEnv
{
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value);

    std::string m_name;
    std::optional<std::string> m_old;
};

// Writes bytes to a file (creating its folder); aborts the test program on failure.
void WriteFile(const std::string& path, std::string_view data);
// The whole file, or none when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// tests/data/<name>
std::string TestDataPath(std::string_view name);

} // namespace zuv::test

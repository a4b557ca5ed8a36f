#include "support/test_support.h"

#include "util/path_syntax.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zuv::test {

TempDir::TempDir()
{
#ifdef _WIN32
    // A name of our own: the C runtime here has no mkdtemp.
    static unsigned counter = 0;
    for (int attempt = 0;; ++attempt) {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() /
            ("zuvora-test-" + std::to_string(std::rand()) + "-" + std::to_string(++counter));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) {
            m_path = folder.string() + kPreferredSeparator;
            return;
        }
        if (attempt == 100) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            std::abort();
        }
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "zuvora-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_path = pattern + "/";
#endif
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Restore permissions that a test may have taken away before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_path, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(m_path, ignored);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : m_name(std::move(name))
{
    if (const char* old = std::getenv(m_name.c_str()))
        m_old = old;
    Set(value);
}

ScopedEnv::~ScopedEnv()
{
    Set(m_old);
}

void ScopedEnv::Set(const std::optional<std::string>& value)
{
#ifdef _WIN32
    // Both the C runtime's copy and the system's: an empty value unsets the variable there.
    ::_putenv_s(m_name.c_str(), value ? value->c_str() : "");
#else
    if (value)
        ::setenv(m_name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
#endif
}

void WriteFile(const std::string& path, std::string_view data)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::string TestDataPath(std::string_view name)
{
    const char* root = std::getenv("ZUVORA_TEST_DATA");
    std::string path = root ? root : ZUVORA_TEST_DATA_DIR;
    return path + "/" + std::string(name);
}

} // namespace zuv::test

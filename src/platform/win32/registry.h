#pragma once

#include <string>
#include <vector>

namespace zuv::platform {

// The registry roots the program reads and writes.
enum class RegistryRoot
{
    ClassesRoot,  // HKEY_CLASSES_ROOT: file types
    CurrentUser,  // HKEY_CURRENT_USER
    LocalMachine, // HKEY_LOCAL_MACHINE: installed fonts
};

// String values of the Windows registry. Key paths have "\" between their parts; an empty value
// name is the key's default value. Each answers 0 or the system error code of the first step
// that failed (ERROR_FILE_NOT_FOUND, 2, for a missing key or value).

// Opens the key for reading and reads the value, up to its first NUL. `text` is emptied once the
// key is open and left untouched when it cannot be opened.
int ReadRegString(RegistryRoot root, const std::string& key, const std::string& valueName,
                  std::string& text);

// Creates or opens the key (with the keys above it) and writes the text with its terminating
// NUL as REG_SZ.
int WriteRegString(RegistryRoot root, const std::string& key, const std::string& valueName,
                   const std::string& text);

// Opens the key for writing and deletes the value; the answer is that of the opening and of a
// deletion of a value that is there, not of one that is missing.
int DeleteRegValue(RegistryRoot root, const std::string& key, const std::string& valueName);

// The value names of the key in the order the registry enumerates them.
int ListRegValueNames(RegistryRoot root, const std::string& key, std::vector<std::string>& names);

// Deletes the key with everything below it (for tests and clean-ups); a missing key is 0.
int DeleteRegTree(RegistryRoot root, const std::string& key);

} // namespace zuv::platform

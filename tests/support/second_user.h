#pragma once

// A second local user for the attacks of another account. It exists only where the tests run as
// root (as CI does): the account is created on first use, marked as a test account in its
// comment field, and removed by ctest's test_accounts_removed once the tests that may use it
// have ended (tests/support/remove_test_accounts.sh).
#ifndef _WIN32

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace zuv::test {

struct SecondUser
{
    static constexpr const char* kName = "zuvora-attacker";

    uid_t uid;
    gid_t gid;

    // The account, created when missing; none when the tests do not run as root or the account
    // cannot be made (then `why` says so, as the reason to skip).
    static std::optional<SecondUser> Get(std::string* why = nullptr);

    // Runs `steps` in a forked child that has become this user; only system calls may run there.
    // The child's exit code, or -1 when it could not be run or was killed.
    int Run(const std::function<int()>& steps) const;
};

} // namespace zuv::test

#endif

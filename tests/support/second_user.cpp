#include "support/second_user.h"

#ifndef _WIN32

#include <cerrno>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zuv::test {

namespace {

std::optional<SecondUser> Lookup()
{
    const passwd* entry = ::getpwnam(SecondUser::kName);
    if (!entry)
        return std::nullopt;
    return SecondUser{entry->pw_uid, entry->pw_gid};
}

} // namespace

std::optional<SecondUser> SecondUser::Get(std::string* why)
{
    if (::geteuid() != 0) {
        if (why)
            *why = "only root can act as a second user";
        return std::nullopt;
    }
    if (auto user = Lookup())
        return user;
    // A concurrent test may create it at the same moment: its account counts as well.
    [[maybe_unused]] const int status =
        std::system("useradd --system --no-create-home --home-dir /nonexistent "
                    "--shell /usr/sbin/nologin --user-group "
                    "--comment 'Zuvora test account, removed when the tests end' "
                    "zuvora-attacker >/dev/null 2>&1");
    auto user = Lookup();
    if (!user && why)
        *why = "the account zuvora-attacker could not be created (useradd)";
    return user;
}

int SecondUser::Run(const std::function<int()>& steps) const
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(100);
        ::_exit(steps());
    }
    if (pid < 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zuv::test

#endif

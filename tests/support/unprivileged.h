// Permission rules mean nothing to root, and the tests run as root in CI: such a test runs its body
// in a forked child that has dropped to the unprivileged user "nobody".
#pragma once

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace velta::test {

// Runs `body` in a child process, as "nobody" when the tests run as root, and returns its exit
// status: 0 when the body returned 0, 99 when the user could not be taken, 98 when it crashed.
inline int RunAsUnprivileged(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
        ::_exit(99);
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

}  // namespace velta::test

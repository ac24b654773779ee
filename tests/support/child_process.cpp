// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_process.h"
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int run_in_child(const std::function<int()>& body, qint64 fileSizeLimit) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 1;
        if (fileSizeLimit >= 0) limit_file_size(fileSizeLimit);
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void limit_file_size(qint64 bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    ::getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &r);
}

bool drop_root() {
    if (::geteuid() != 0) return true;
    return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

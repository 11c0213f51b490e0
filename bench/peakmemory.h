#pragma once
// Peak memory of an operation, for the benchmarks that report memory per byte of input.

#include <QByteArray>
#include <QFile>

#include <cstring>
#include <functional>

#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

// A value of /proc/self/status in bytes ("VmRSS", "VmHWM").
inline long long statusBytes(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key)) + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// The growth of the resident set at the peak of op, run once in a child process so that neither
// the memory the parent holds nor what its allocator keeps from earlier runs counts. Linux only.
inline long long peakGrowth(const std::function<void()> &op)
{
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        ::malloc_trim(0);
        const long long before = statusBytes("VmRSS:");
        const int reset = ::open("/proc/self/clear_refs", O_WRONLY);
        if (reset >= 0 && ::write(reset, "5", 1) == 1)
            ::close(reset);
        op();
        const long long growth = statusBytes("VmHWM:") - before;
        (void)!::write(out[1], &growth, sizeof growth);
        ::_exit(0);
    }
    ::close(out[1]);
    long long growth = -1;
    if (pid < 0 || ::read(out[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    ::close(out[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return growth;
}

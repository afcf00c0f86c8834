#pragma once

#include <csignal>
#include <sys/resource.h>

#include <QtGlobal>

// A full disk: while it lives, this process cannot make a file larger than the given size. Unlike a
// read-only folder, this holds for root too; writing past the limit fails with EFBIG instead of
// ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limited{rlim_t(bytes), saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

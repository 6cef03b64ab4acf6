#pragma once

#include <cerrno>
#include <unistd.h>

// Owns one file descriptor and closes it when it goes. -1 owns nothing.
class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    // Closes what it owned and owns fd instead.
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now; 0 or the errno value of the close.
    int Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int fd_;
};

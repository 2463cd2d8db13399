#pragma once

#include <unistd.h>

#include <utility>

namespace kavo {

/// A file descriptor closed with its owner; -1 stands for none.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : m_fd(fd)
    { }
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(other.release())
    { }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        UniqueFd taken(std::move(other));
        std::swap(m_fd, taken.m_fd);
        return *this;
    }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    /// Gives the descriptor up without closing it.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

} // namespace kavo

#pragma once

#include <memory>

// Xlib's macros (None, Bool, Status...) clash with Qt names; this header stays free of Xlib so that it can come first.
struct _XDisplay;

namespace kavo {

struct DisplayCloser
{
    void operator()(_XDisplay* display) const;
};

/// A connection to an X server, closed with its owner.
using DisplayPtr = std::unique_ptr<_XDisplay, DisplayCloser>;

struct XFreeDeleter
{
    void operator()(void* data) const;
};

/// Memory that Xlib handed out, given back to it with XFree.
template <typename T> using XFreed = std::unique_ptr<T, XFreeDeleter>;

} // namespace kavo

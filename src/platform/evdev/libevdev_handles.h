#pragma once

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <memory>

namespace kavo {

struct LibevdevFree
{
    void operator()(libevdev* device) const { libevdev_free(device); }
};

/// A libevdev device description, freed with its owner.
using LibevdevPtr = std::unique_ptr<libevdev, LibevdevFree>;

struct UinputDestroy
{
    void operator()(libevdev_uinput* device) const { libevdev_uinput_destroy(device); }
};

/// A uinput device, removed from the system with its owner.
using UinputDevicePtr = std::unique_ptr<libevdev_uinput, UinputDestroy>;

} // namespace kavo

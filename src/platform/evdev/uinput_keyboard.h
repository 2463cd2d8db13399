#pragma once

#include "platform/evdev/libevdev_handles.h"

#include <QObject>
#include <QString>

#include <QCoroTask>

#include <chrono>
#include <vector>

namespace kavo {

/// A virtual keyboard made through uinput, able to press the paste chords. Main thread only.
class UinputKeyboard : public QObject
{
    Q_OBJECT

public:
    /// The compositor takes keys from a new device only once udev has announced it; keys sent before are lost.
    static constexpr auto discoveryDelay = std::chrono::milliseconds(300);

    /// Creates the device; `isReady()` tells whether that worked, `problem()` why not.
    UinputKeyboard();
    ~UinputKeyboard() override;

    bool isReady() const { return m_uinput != nullptr; }
    QString problem() const { return m_problem; }

    /// Presses the modifiers in order, taps the key and releases the modifiers (the kernel's key codes), once the
    /// device is old enough to be heard; false when there is no device, or it went away meanwhile.
    QCoro::Task<bool> sendChord(std::vector<int> modifiers, int key);

private:
    void send(int key, bool press);

    LibevdevPtr m_device;
    UinputDevicePtr m_uinput;
    QString m_problem;
    std::chrono::steady_clock::time_point m_created;
};

} // namespace kavo

#pragma once

#include "hotkey/input_events.h"
#include "hotkey/modifier_state.h"

#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct input_event;
class QSocketNotifier;

namespace kavo {

/// Hotkey events read straight from the kernel's keyboards and mice, for sessions whose display server shares no
/// global key events (Wayland). Devices plugged in or unplugged while it runs are followed.
class EvdevInputSource : public InputEventSource
{
    Q_OBJECT

public:
    /// What a device is, as far as the hotkey cares; a device that is neither is not watched.
    struct DeviceKind
    {
        bool keyboard = false;
        bool pointer = false;
    };
    /// Tells what the device file `path`, open at `fd`, is.
    using DeviceProbe = std::function<DeviceKind(int fd, const QString& path)>;

    /// Asks the kernel for the device's keys: ordinary keys make a keyboard, a left button a pointer.
    static DeviceKind probeDevice(int fd, const QString& path);

    explicit EvdevInputSource(QString folder = QStringLiteral("/dev/input"), DeviceProbe probe = probeDevice);
    ~EvdevInputSource() override;
    EvdevInputSource(const EvdevInputSource&) = delete;
    EvdevInputSource& operator=(const EvdevInputSource&) = delete;

    /// Opens every device in the folder and keeps watching the folder, also when no keyboard can be read yet.
    bool start() override;
    void stop() override;
    QString problem() const override;

private:
    struct Device;
    struct FolderWatch;

    void watchFolder();
    void scanFolder();
    void readFolderChanges();
    void openDevice(const QString& path);
    void removeDevice(const QString& path);
    Device* findDevice(const QString& path) const;
    Device* findDevice(quint64 id) const;
    void readDevice(quint64 id);
    void handleRecord(Device& device, const input_event& record);
    void handleKey(int code, bool press);
    void forgetHeldKeys();

    QString m_folder;
    DeviceProbe m_probe;
    bool m_started = false;
    /// Counts stops, so that work begun before one ends there.
    quint64 m_generation = 0;
    bool m_folderExists = false;
    std::unique_ptr<FolderWatch> m_folderWatch;
    std::vector<std::unique_ptr<Device>> m_devices;
    quint64 m_nextDeviceId = 1;
    /// Device files the process may not open: then the missing keyboard is a matter of permissions.
    QSet<QString> m_refused;
    ModifierState m_modifiers;
};

} // namespace kavo

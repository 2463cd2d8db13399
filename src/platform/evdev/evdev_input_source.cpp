#include "evdev_input_source.h"

#include "platform/evdev/libevdev_handles.h"
#include "platform/unique_fd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <linux/input.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kavo {

namespace {

const QString devicePrefix = QStringLiteral("event");

// Left and right clicks count as another key during a hold; a middle click pastes the primary selection and does not.
bool isMouseButton(int code)
{
    return code == BTN_LEFT || code == BTN_RIGHT;
}

/// Keys proper, as opposed to the button ranges of mice, touchpads, tablets and game pads: a finger touching a
/// touchpad must not count as another key pressed during a hold.
bool isKey(int code)
{
    return code < BTN_MISC || (code >= KEY_OK && code < BTN_DPAD_UP)
        || (code >= KEY_ALS_TOGGLE && code < BTN_TRIGGER_HAPPY);
}

/// Keeps motion and scan codes from this reader, so that moving the mouse wakes nobody up (the kernel drops the
/// reports the filter leaves empty). Files that are no event devices refuse it, which costs nothing.
void ignoreMotion(int fd)
{
    const quint64 noCodes = 0;
    for (const quint32 type : { EV_REL, EV_ABS, EV_MSC }) {
        const input_mask mask { type, sizeof noCodes, quint64(quintptr(&noCodes)) };
        ::ioctl(fd, EVIOCSMASK, &mask);
    }
}

} // namespace

struct EvdevInputSource::FolderWatch
{
    UniqueFd fd;
    QSocketNotifier notifier;

    explicit FolderWatch(UniqueFd inotifyFd)
        : fd(std::move(inotifyFd))
        , notifier(fd.get(), QSocketNotifier::Read)
    { }
};

struct EvdevInputSource::Device
{
    quint64 id;
    QString path;
    DeviceKind kind;
    UniqueFd fd;
    QSocketNotifier notifier;
    /// The start of a record a read ended in; a pipe may split records where the kernel never does.
    QByteArray pending;
    /// The kernel dropped events: the rest of the frame is incomplete and is skipped.
    bool discarding = false;

    Device(quint64 id, QString path, DeviceKind kind, UniqueFd file)
        : id(id)
        , path(std::move(path))
        , kind(kind)
        , fd(std::move(file))
        , notifier(fd.get(), QSocketNotifier::Read)
    { }

    /// Reads what is there; false when the device has gone (unplugged, or the end of a pipe).
    bool readAvailable()
    {
        char buffer[64 * sizeof(input_event)];
        for (;;) {
            const ssize_t size = ::read(fd.get(), buffer, sizeof buffer);
            if (size > 0)
                pending.append(buffer, size);
            else if (size < 0 && errno == EINTR)
                continue;
            else
                return size < 0 && errno == EAGAIN;
        }
    }

    std::vector<input_event> takeRecords()
    {
        std::vector<input_event> records(pending.size() / sizeof(input_event));
        if (records.empty())
            return records;
        const qsizetype bytes = qsizetype(records.size() * sizeof(input_event));
        std::memcpy(records.data(), pending.constData(), bytes);
        pending.remove(0, bytes);
        return records;
    }
};

EvdevInputSource::DeviceKind EvdevInputSource::probeDevice(int fd, const QString&)
{
    libevdev* raw = nullptr;
    if (libevdev_new_from_fd(fd, &raw) < 0)
        return {};
    const LibevdevPtr device(raw);
    const auto hasKey = [&](unsigned code) { return libevdev_has_event_code(device.get(), EV_KEY, code) == 1; };
    // Power buttons, lid switches and the like have keys too, but none a person types with.
    return { .keyboard = (hasKey(KEY_A) && hasKey(KEY_SPACE)) || hasKey(KEY_LEFTCTRL), .pointer = hasKey(BTN_LEFT) };
}

EvdevInputSource::EvdevInputSource(QString folder, DeviceProbe probe)
    : m_folder(std::move(folder))
    , m_probe(std::move(probe))
{ }

EvdevInputSource::~EvdevInputSource()
{
    stop();
}

bool EvdevInputSource::start()
{
    stop();
    m_started = true;
    m_folderExists = QFileInfo(m_folder).isDir();
    if (m_folderExists) {
        // Watch before listing, so that a device created in between is not missed.
        watchFolder();
        scanFolder();
    }
    return problem().isEmpty();
}

void EvdevInputSource::stop()
{
    ++m_generation;
    m_started = false;
    m_folderWatch.reset();
    m_devices.clear();
    m_refused.clear();
    m_modifiers.clear();
}

QString EvdevInputSource::problem() const
{
    const bool keyboardOpen
        = std::any_of(m_devices.begin(), m_devices.end(), [](const auto& device) { return device->kind.keyboard; });
    if (!m_started || keyboardOpen)
        return {};
    if (!m_folderExists)
        return tr("The hotkey cannot read the keyboard: %1 does not exist.").arg(m_folder);
    if (!m_refused.isEmpty())
        return tr("The hotkey cannot read the keyboard. To allow it, run “sudo usermod -aG input $USER”, then log "
                  "out and back in (or install the udev rule that comes with Kavo Voice).");
    return tr("The hotkey cannot read the keyboard: there is no keyboard in %1.").arg(m_folder);
}

void EvdevInputSource::watchFolder()
{
    UniqueFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!fd)
        return;
    // Permissions arrive after the device file: udev sets them once the kernel has created it.
    const QByteArray folder = QFile::encodeName(m_folder);
    if (::inotify_add_watch(fd.get(), folder.constData(), IN_CREATE | IN_ATTRIB | IN_DELETE) < 0)
        return;
    m_folderWatch = std::make_unique<FolderWatch>(std::move(fd));
    QObject::connect(&m_folderWatch->notifier, &QSocketNotifier::activated, [this] { readFolderChanges(); });
}

void EvdevInputSource::scanFolder()
{
    const QStringList names = QDir(m_folder).entryList({ devicePrefix + '*' }, QDir::System | QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = m_folder + '/' + name;
        if (!findDevice(path))
            openDevice(path);
    }
}

void EvdevInputSource::readFolderChanges()
{
    alignas(inotify_event) char buffer[4096];
    const quint64 generation = m_generation;
    while (generation == m_generation) {
        const ssize_t size = ::read(m_folderWatch->fd.get(), buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0)
            return;
        // A callback told of released keys may stop this source meanwhile.
        for (ssize_t offset = 0; offset < size && generation == m_generation;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                scanFolder();
                continue;
            }
            const QString name = QFile::decodeName(event->name);
            if (!name.startsWith(devicePrefix))
                continue;
            const QString path = m_folder + '/' + name;
            if (event->mask & IN_DELETE)
                removeDevice(path);
            else if (!findDevice(path))
                openDevice(path);
        }
    }
}

void EvdevInputSource::openDevice(const QString& path)
{
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        if (errno == EACCES || errno == EPERM)
            m_refused.insert(path);
        return;
    }
    m_refused.remove(path);
    const DeviceKind kind = m_probe(fd.get(), path);
    if (!kind.keyboard && !kind.pointer)
        return;
    ignoreMotion(fd.get());
    const quint64 id = m_nextDeviceId++;
    auto& device = m_devices.emplace_back(std::make_unique<Device>(id, path, kind, std::move(fd)));
    QObject::connect(&device->notifier, &QSocketNotifier::activated, [this, id] { readDevice(id); });
}

void EvdevInputSource::removeDevice(const QString& path)
{
    m_refused.remove(path);
    const auto found
        = std::find_if(m_devices.begin(), m_devices.end(), [&](const auto& device) { return device->path == path; });
    if (found == m_devices.end())
        return;
    const bool keyboard = (*found)->kind.keyboard;
    m_devices.erase(found);
    if (keyboard)
        forgetHeldKeys();
}

EvdevInputSource::Device* EvdevInputSource::findDevice(const QString& path) const
{
    for (const auto& device : m_devices)
        if (device->path == path)
            return device.get();
    return nullptr;
}

EvdevInputSource::Device* EvdevInputSource::findDevice(quint64 id) const
{
    for (const auto& device : m_devices)
        if (device->id == id)
            return device.get();
    return nullptr;
}

void EvdevInputSource::readDevice(quint64 id)
{
    Device* device = findDevice(id);
    const bool open = device->readAvailable();
    const QString path = device->path;
    for (const input_event& record : device->takeRecords()) {
        // A callback may have stopped this source, and so closed the device.
        device = findDevice(id);
        if (!device)
            return;
        handleRecord(*device, record);
    }
    if (!open)
        removeDevice(path);
}

void EvdevInputSource::handleRecord(Device& device, const input_event& record)
{
    if (record.type == EV_SYN) {
        if (record.code == SYN_DROPPED) {
            device.discarding = true;
        } else if (record.code == SYN_REPORT && device.discarding) {
            // Releases may have been among the lost events; a key left down for ever would spoil every chord.
            device.discarding = false;
            forgetHeldKeys();
        }
        return;
    }
    // Value 2 is the keyboard's autorepeat of a key that is down.
    if (device.discarding || record.type != EV_KEY || (record.value != 0 && record.value != 1))
        return;
    handleKey(record.code, record.value == 1);
}

void EvdevInputSource::handleKey(int code, bool press)
{
    if (isMouseButton(code)) {
        if (press)
            Q_EMIT pressed({ PressEvent::Type::mouseDown, 0 });
        return;
    }
    if (isKey(code))
        deliverKey(*this, m_modifiers, code, press);
}

void EvdevInputSource::forgetHeldKeys()
{
    const bool modifiersWereDown = m_modifiers.flags() != 0;
    m_modifiers.clear();
    // Tells the hotkey that a held chord is no longer down; no key went up, so there is no key code.
    if (modifiersWereDown)
        Q_EMIT flagsChanged({ 0, 0 });
}

} // namespace kavo

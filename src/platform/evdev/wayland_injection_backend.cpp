#include "wayland_injection_backend.h"

#include "hotkey/injected_keys.h"
#include "store/log.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace kavo {

namespace {

constexpr int modifierKeys[] { KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTALT, KEY_RIGHTALT,
    KEY_LEFTMETA, KEY_RIGHTMETA };

// Whether any keyboard under /dev/input reports a modifier as down; keyboards this process may not read are skipped.
bool modifierHeld()
{
    const QStringList devices
        = QDir(QStringLiteral("/dev/input")).entryList({ QStringLiteral("event*") }, QDir::System);
    for (const QString& device : devices) {
        const QByteArray path = QFile::encodeName(QStringLiteral("/dev/input/") + device);
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        unsigned char keys[KEY_MAX / 8 + 1] {};
        const bool read = ::ioctl(fd, EVIOCGKEY(sizeof keys), keys) >= 0;
        ::close(fd);
        if (read && std::any_of(std::begin(modifierKeys), std::end(modifierKeys), [&keys](int key) {
                return keys[key / 8] & (1 << (key % 8));
            }))
            return true;
    }
    return false;
}

} // namespace

/// A virtual keyboard made through uinput, able to press the paste chords.
class UinputKeyboard
{
public:
    UinputKeyboard()
        : m_device(libevdev_new())
    {
        libevdev_set_name(m_device, "Kavo Voice virtual keyboard");
        libevdev_enable_event_type(m_device, EV_KEY);
        for (const int key : { KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_V, KEY_INSERT })
            libevdev_enable_event_code(m_device, EV_KEY, unsigned(key), nullptr);
        const int result = libevdev_uinput_create_from_device(m_device, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_uinput);
        if (result < 0) {
            m_uinput = nullptr;
            m_problem = QString::fromLocal8Bit(std::strerror(-result));
        }
        m_created = std::chrono::steady_clock::now();
    }

    ~UinputKeyboard()
    {
        if (m_uinput)
            libevdev_uinput_destroy(m_uinput);
        libevdev_free(m_device);
    }

    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    bool isReady() const { return m_uinput != nullptr; }
    QString problem() const { return m_problem; }

    void sendChord(std::initializer_list<int> modifiers, int key)
    {
        // The compositor notices a new input device only after udev has announced it; keys sent before are lost.
        std::this_thread::sleep_until(m_created + discoveryDelay);
        for (const int modifier : modifiers)
            send(modifier, true);
        send(key, true);
        send(key, false);
        for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier)
            send(*modifier, false);
    }

private:
    static constexpr auto discoveryDelay = std::chrono::milliseconds(300);

    void send(int key, bool press)
    {
        InjectedKeys::instance().announce(key, press);
        libevdev_uinput_write_event(m_uinput, EV_KEY, unsigned(key), press ? 1 : 0);
        libevdev_uinput_write_event(m_uinput, EV_SYN, SYN_REPORT, 0);
    }

    libevdev* m_device;
    libevdev_uinput* m_uinput = nullptr;
    QString m_problem;
    std::chrono::steady_clock::time_point m_created;
};

WaylandInjectionBackend::WaylandInjectionBackend(std::unique_ptr<Clipboard> clipboard)
    : m_clipboard(std::move(clipboard))
    , m_keyboard(std::make_unique<UinputKeyboard>())
{
    if (!m_keyboard->isReady())
        Log::write(QStringLiteral("the paste keys cannot be sent: /dev/uinput: ") + m_keyboard->problem());
}

WaylandInjectionBackend::~WaylandInjectionBackend() = default;

Clipboard& WaylandInjectionBackend::clipboard()
{
    return *m_clipboard;
}

PasteChord WaylandInjectionBackend::pasteChord()
{
    return PasteChord::shiftInsert;
}

void WaylandInjectionBackend::sendPasteChord(PasteChord chord)
{
    if (!m_keyboard->isReady())
        return;
    switch (chord) {
    case PasteChord::controlV:
        m_keyboard->sendChord({ KEY_LEFTCTRL }, KEY_V);
        break;
    case PasteChord::controlShiftV:
        m_keyboard->sendChord({ KEY_LEFTCTRL, KEY_LEFTSHIFT }, KEY_V);
        break;
    case PasteChord::shiftInsert:
        m_keyboard->sendChord({ KEY_LEFTSHIFT }, KEY_INSERT);
        break;
    }
}

void WaylandInjectionBackend::waitForModifiersReleased()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (modifierHeld() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

KeyTypist* WaylandInjectionBackend::typist()
{
    return nullptr;
}

} // namespace kavo

#include "wayland_injection_backend.h"

#include "platform/evdev/uinput_keyboard.h"
#include "platform/unique_fd.h"
#include "store/log.h"

#include <QCoroTimer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>

namespace kavo {

namespace {

constexpr int modifierKeys[] { KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTALT, KEY_RIGHTALT,
    KEY_LEFTMETA, KEY_RIGHTMETA };

constexpr auto modifierPollInterval = std::chrono::milliseconds(10);
constexpr auto modifierWaitLimit = std::chrono::seconds(1);

// Whether any keyboard under /dev/input reports a modifier as down; keyboards this process may not read are skipped.
bool modifierHeld()
{
    const QStringList devices
        = QDir(QStringLiteral("/dev/input")).entryList({ QStringLiteral("event*") }, QDir::System);
    for (const QString& device : devices) {
        const QByteArray path = QFile::encodeName(QStringLiteral("/dev/input/") + device);
        const UniqueFd fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!fd)
            continue;
        unsigned char keys[KEY_MAX / 8 + 1] {};
        if (::ioctl(fd.get(), EVIOCGKEY(sizeof keys), keys) >= 0
            && std::any_of(std::begin(modifierKeys), std::end(modifierKeys),
                [&keys](int key) { return keys[key / 8] & (1 << (key % 8)); }))
            return true;
    }
    return false;
}

QCoro::Task<> modifiersReleased()
{
    const auto deadline = std::chrono::steady_clock::now() + modifierWaitLimit;
    while (modifierHeld() && std::chrono::steady_clock::now() < deadline)
        co_await QCoro::sleepFor(modifierPollInterval);
}

} // namespace

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

QCoro::Task<bool> WaylandInjectionBackend::sendPasteChord(PasteChord chord)
{
    std::vector<int> modifiers;
    int key = KEY_V;
    switch (chord) {
    case PasteChord::controlV:
        modifiers = { KEY_LEFTCTRL };
        break;
    case PasteChord::controlShiftV:
        modifiers = { KEY_LEFTCTRL, KEY_LEFTSHIFT };
        break;
    case PasteChord::shiftInsert:
        modifiers = { KEY_LEFTSHIFT };
        key = KEY_INSERT;
        break;
    }
    return m_keyboard->sendChord(std::move(modifiers), key);
}

QCoro::Task<> WaylandInjectionBackend::waitForModifiersReleased()
{
    return modifiersReleased();
}

KeyTypist* WaylandInjectionBackend::typist()
{
    return nullptr;
}

} // namespace kavo

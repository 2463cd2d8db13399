#include "uinput_keyboard.h"

#include "delivery/waiting.h"
#include "hotkey/injected_keys.h"

#include <QPointer>

#include <cstring>
#include <linux/input.h>

namespace kavo {

UinputKeyboard::UinputKeyboard()
    : m_device(libevdev_new())
{
    libevdev_set_name(m_device.get(), "Kavo Voice virtual keyboard");
    libevdev_enable_event_type(m_device.get(), EV_KEY);
    for (const int key : { KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_V, KEY_INSERT })
        libevdev_enable_event_code(m_device.get(), EV_KEY, unsigned(key), nullptr);
    libevdev_uinput* uinput = nullptr;
    const int result = libevdev_uinput_create_from_device(m_device.get(), LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput);
    if (result < 0)
        m_problem = QString::fromLocal8Bit(std::strerror(-result));
    else
        m_uinput.reset(uinput);
    m_created = std::chrono::steady_clock::now();
}

UinputKeyboard::~UinputKeyboard() = default;

QCoro::Task<bool> UinputKeyboard::sendChord(std::vector<int> modifiers, int key)
{
    if (!m_uinput)
        co_return false;
    const QPointer<UinputKeyboard> self(this);
    co_await sleepUntil(m_created + discoveryDelay);
    if (!self)
        co_return false;
    for (const int modifier : modifiers)
        send(modifier, true);
    send(key, true);
    send(key, false);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier)
        send(*modifier, false);
    co_return true;
}

void UinputKeyboard::send(int key, bool press)
{
    InjectedKeys::instance().announce(key, press);
    libevdev_uinput_write_event(m_uinput.get(), EV_KEY, unsigned(key), press ? 1 : 0);
    libevdev_uinput_write_event(m_uinput.get(), EV_SYN, SYN_REPORT, 0);
}

} // namespace kavo

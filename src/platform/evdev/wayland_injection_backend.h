#pragma once

#include "delivery/injection_backend.h"

#include <memory>

namespace kavo {

class UinputKeyboard;

/// Text delivery in a Wayland session, where no client may send keys to another: the text goes on the clipboard
/// and the primary selection, and a virtual keyboard made with uinput presses Shift+Insert, which pastes in toolkits
/// and terminals alike and means the same key in every layout. Typing is not offered.
class WaylandInjectionBackend : public InjectionBackend
{
public:
    /// `clipboard` is the session's: XWayland's when an X server is reachable, else wl-copy's.
    explicit WaylandInjectionBackend(std::unique_ptr<Clipboard> clipboard);
    ~WaylandInjectionBackend() override;

    Clipboard& clipboard() override;
    PasteChord pasteChord() override;
    /// False when the virtual keyboard could not be made (no access to /dev/uinput).
    QCoro::Task<bool> sendPasteChord(PasteChord chord) override;
    QCoro::Task<> waitForModifiersReleased() override;
    KeyTypist* typist() override;

private:
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<UinputKeyboard> m_keyboard;
};

} // namespace kavo

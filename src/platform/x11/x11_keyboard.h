#pragma once

#include "delivery/injection_backend.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <vector>

struct _XkbDesc;

namespace kavo {

class X11Connection;

struct KeyboardMapFree
{
    void operator()(_XkbDesc* map) const;
};

/// Synthetic keys through XTest that type any text whatever the user's layout. A character that some key of the
/// user's map produces in the keyboard's current state (its layout group, Caps Lock), alone or with Shift, is typed on
/// that key, as the user would; every other character on a spare key code (one the map leaves empty), remapped to
/// the character's own keysym. Chords use the keys of the user's map. The map is put back shortly after the last key,
/// and Caps Lock, off while typing, right after it.
///
/// Remapping goes through XKB, one request for all keys that change, because every client refetches the whole keymap
/// on each change it is told of. A client reads a key with the map it fetched last, which is newer than the key when
/// the client lags behind; so a spare key is given another keysym only well after its last press.
class X11Keyboard : public QObject, public KeyTypist
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    /// Pause after a remapping before its keys are pressed, for clients that take the new map a little late.
    static constexpr auto settleDelay = std::chrono::milliseconds(5);
    /// A spare key gets another keysym no sooner than this after its last press.
    static constexpr auto reuseDelay = std::chrono::milliseconds(150);
    /// The map is restored this long after the last key.
    static constexpr auto restoreDelay = std::chrono::milliseconds(250);

    /// `connection` must be open, have XTest and XKB, and outlive the keyboard.
    explicit X11Keyboard(X11Connection& connection, QObject* parent = nullptr);
    ~X11Keyboard() override;

    /// Whether the server has the XTest and XKB extensions.
    static bool isSupported(X11Connection& connection);

    QCoro::Task<> typeChunk(QString text) override;
    QCoro::Task<> pressReturn(NewlineMode mode) override;
    void finish() override;

    /// Presses the modifiers in order, taps the key, releases the modifiers; nothing is sent (false) when a modifier
    /// has no key in the user's map. Keysyms as in X11/keysymdef.h.
    QCoro::Task<bool> sendChord(std::vector<unsigned long> modifiers, unsigned long key);
    /// Looks at the keyboard every 10 ms until no Shift, Control, Alt or Super key is down, at most for `limit`.
    QCoro::Task<> waitForModifiersReleased(std::chrono::milliseconds limit);

    /// The keysym that types `codePoint`, or 0 for a control character that types nothing.
    static unsigned long keysymFor(char32_t codePoint);

private:
    /// A key of the user's map that types a keysym in the current state.
    struct UserKey
    {
        int keycode;
        bool shift;
    };
    /// A spare key's symbols as the user's map has them.
    struct SavedKey
    {
        std::array<unsigned char, 4> types;
        unsigned char groupInfo;
        unsigned char width;
        std::vector<unsigned long> keysyms;
    };

    bool beginMapping();
    void releaseCapsLock();
    void findUserKeys();
    int keycodeOf(unsigned long keysym) const;
    /// False when the keyboard went away while it waited.
    QCoro::Task<bool> placeOnSpareKeys(std::set<unsigned long> keysyms);
    int spareKeyFor(const std::set<unsigned long>& keep) const;
    void sendMap(const std::vector<int>& keycodes);
    void tap(int keycode, bool shift);
    void send(int keycode, bool press);
    void restore();

    X11Connection& m_connection;
    std::unique_ptr<_XkbDesc, KeyboardMapFree> m_map; ///< the keyboard map while keys are remapped, else null
    std::map<unsigned long, UserKey> m_userKeys;
    unsigned m_userKeysState = ~0U; ///< the keyboard state (group and modifiers) `m_userKeys` holds for
    int m_shiftKey = 0;
    std::map<int, SavedKey> m_spareKeys; ///< keys without symbols, free for remapping
    std::map<int, unsigned long> m_remapped; ///< key code → keysym put there
    std::map<unsigned long, int> m_keyOf; ///< the reverse
    std::map<int, Clock::time_point> m_pressedAt;
    bool m_typing = false; ///< between the first chunk of an insertion and `finish()`
    bool m_capsLockReleased = false;
    QTimer m_restoreTimer;
};

} // namespace kavo

#pragma once

#include "input/injection_backend.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <map>
#include <set>
#include <vector>

struct _XkbDesc;

namespace kavo {

class X11Connection;

/// Synthetic keys through XTest. Text is typed on spare key codes (ones the keyboard map leaves empty), remapped to
/// the characters' own keysyms, so that every character arrives whatever the user's layout; chords use the keys of
/// the user's map. The map is put back shortly after the last key.
///
/// Remapping goes through XKB, one request for all keys that change: every client refetches the whole keymap on
/// each change it is told of, and a client still busy with a run of changes reads the keys typed meanwhile with a
/// map that is already newer than they are.
class X11Keyboard : public QObject, public KeyTypist
{
    Q_OBJECT

public:
    /// After a remapping, clients must fetch the new map before the remapped keys reach them: Qt and GTK
    /// clients read a key pressed within a few milliseconds of the change with the old map.
    static constexpr auto settleDelay = std::chrono::milliseconds(25);
    /// The map is restored this long after the last key, when slow clients have read their keys.
    static constexpr auto restoreDelay = std::chrono::milliseconds(250);

    /// `connection` must be open, have XTest and XKB, and outlive the keyboard.
    explicit X11Keyboard(X11Connection& connection, QObject* parent = nullptr);
    ~X11Keyboard() override;

    /// Whether the server has the XTest and XKB extensions.
    static bool isSupported(X11Connection& connection);

    void typeChunk(const QString& text) override;
    void pressReturn(NewlineMode mode) override;
    void finish() override;

    /// Presses the modifiers in order, taps the key, releases the modifiers; nothing is sent when a modifier has
    /// no key in the user's map. Keysyms as in X11/keysymdef.h.
    bool sendChord(const std::vector<unsigned long>& modifiers, unsigned long key);
    /// Polls the keyboard every 10 ms until no Shift, Control, Alt or Super key is down, at most for `limit`.
    void waitForModifiersReleased(std::chrono::milliseconds limit);

    /// The keysym that types `codePoint`, or 0 for a control character that types nothing.
    static unsigned long keysymFor(char32_t codePoint);

private:
    /// A key's symbols as the user's map has them.
    struct SavedKey
    {
        std::array<unsigned char, 4> types;
        unsigned char groupInfo;
        unsigned char width;
        std::vector<unsigned long> keysyms;
    };

    bool beginMapping();
    int keycodeOf(unsigned long keysym) const;
    void placeOnSpareKeys(const std::set<unsigned long>& keysyms);
    int spareKeyFor(const std::set<unsigned long>& keep) const;
    void sendMap(const std::vector<int>& keycodes);
    void send(int keycode, bool press);
    void restore();

    X11Connection& m_connection;
    _XkbDesc* m_map = nullptr; ///< the keyboard map while keys are remapped, else null
    std::map<int, SavedKey> m_spareKeys; ///< keys without symbols, free for remapping
    std::map<int, unsigned long> m_remapped; ///< key code → keysym put there
    std::map<unsigned long, int> m_keyOf; ///< the reverse
    std::map<int, quint64> m_lastUse;
    quint64 m_uses = 0;
    QTimer m_restoreTimer;
};

} // namespace kavo

#include "x11_keyboard.h"

#include "delivery/waiting.h"
#include "hotkey/injected_keys.h"
#include "platform/x11/x11_connection.h"
#include "store/log.h"

#include <QCoroTimer>
#include <QPointer>

#include <algorithm>
#include <climits>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace kavo {

namespace {

// X key codes are the kernel's evdev codes shifted by 8.
constexpr int evdevOffset = 8;

constexpr auto modifierPollInterval = std::chrono::milliseconds(10);

// Keysyms from 0x1000000 on stand for Unicode code points; Latin-1 has keysyms equal to its code points.
constexpr unsigned long unicodeKeysymBase = 0x1000000;

// The group a key uses while the keyboard is in `group`, for keys with fewer groups.
int groupOfKey(XkbDescPtr map, int keycode, int group)
{
    const int groups = XkbKeyNumGroups(map, keycode);
    if (group < groups)
        return group;
    const unsigned char info = map->map->key_sym_map[keycode].group_info;
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbClampIntoRange:
        return groups - 1;
    case XkbRedirectIntoRange:
        return XkbOutOfRangeGroupNumber(info) < groups ? XkbOutOfRangeGroupNumber(info) : 0;
    default:
        return group % groups;
    }
}

// The shift level the key's type selects for these modifiers.
int levelOfKey(XkbDescPtr map, int keycode, int group, unsigned modifiers)
{
    const XkbKeyTypePtr type = XkbKeyKeyType(map, keycode, group);
    const unsigned relevant = modifiers & type->mods.mask;
    for (int index = 0; index < type->map_count; ++index) {
        if (type->map[index].active && type->map[index].mods.mask == relevant)
            return type->map[index].level;
    }
    return 0;
}

struct ModifierMapFree
{
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};

} // namespace

void KeyboardMapFree::operator()(XkbDescPtr map) const
{
    XkbFreeKeyboard(map, 0, True);
}

X11Keyboard::X11Keyboard(X11Connection& connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
{
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(restoreDelay);
    connect(&m_restoreTimer, &QTimer::timeout, this, &X11Keyboard::restore);
}

X11Keyboard::~X11Keyboard()
{
    restore();
}

bool X11Keyboard::isSupported(X11Connection& connection)
{
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    return XTestQueryExtension(connection.display(), &event, &error, &major, &minor)
        && XkbQueryExtension(connection.display(), &opcode, &event, &error, &major, &minor);
}

unsigned long X11Keyboard::keysymFor(char32_t codePoint)
{
    if (codePoint == U'\t')
        return XK_Tab;
    if (codePoint < 0x20 || (codePoint >= 0x7f && codePoint < 0xa0))
        return NoSymbol;
    return codePoint < 0x100 ? codePoint : unicodeKeysymBase + codePoint;
}

QCoro::Task<> X11Keyboard::typeChunk(QString text)
{
    if (!beginMapping())
        co_return;
    if (!m_typing) {
        m_typing = true;
        releaseCapsLock();
    }
    findUserKeys();
    std::vector<unsigned long> keysyms;
    for (const char32_t codePoint : text.toUcs4()) {
        if (const unsigned long keysym = keysymFor(codePoint); keysym != NoSymbol)
            keysyms.push_back(keysym);
    }
    // Characters that need spare keys are typed in runs of at most as many distinct ones as there are spare keys,
    // each run after a remapping of its own.
    for (std::size_t start = 0; start < keysyms.size();) {
        std::set<unsigned long> run;
        std::size_t end = start;
        for (; end < keysyms.size(); ++end) {
            const unsigned long keysym = keysyms[end];
            if (m_userKeys.contains(keysym) || run.contains(keysym) || m_spareKeys.empty())
                continue;
            if (run.size() == m_spareKeys.size())
                break;
            run.insert(keysym);
        }
        const bool placed = co_await placeOnSpareKeys(std::move(run));
        if (!placed)
            co_return;
        const auto now = Clock::now();
        for (std::size_t index = start; index < end; ++index) {
            if (const auto user = m_userKeys.find(keysyms[index]); user != m_userKeys.end()) {
                tap(user->second.keycode, user->second.shift);
            } else if (const auto spare = m_keyOf.find(keysyms[index]); spare != m_keyOf.end()) {
                tap(spare->second, false);
                m_pressedAt[spare->second] = now;
            }
        }
        XFlush(m_connection.display());
        start = end;
    }
}

QCoro::Task<> X11Keyboard::pressReturn(NewlineMode mode)
{
    std::vector<unsigned long> modifiers;
    if (mode == NewlineMode::shiftReturn)
        modifiers.push_back(XK_Shift_L);
    else if (mode == NewlineMode::altReturn)
        modifiers.push_back(XK_Alt_L);
    co_await sendChord(std::move(modifiers), XK_Return);
}

void X11Keyboard::finish()
{
    if (m_capsLockReleased)
        XkbLockModifiers(m_connection.display(), XkbUseCoreKbd, LockMask, LockMask);
    XFlush(m_connection.display());
    m_typing = false;
    m_capsLockReleased = false;
    m_restoreTimer.start();
}

// Clients change the case of letters typed while Caps Lock is on, each toolkit by its own rules, so the lock is
// off while the text is typed and back on after its last key.
void X11Keyboard::releaseCapsLock()
{
    XkbStateRec state {};
    XkbGetState(m_connection.display(), XkbUseCoreKbd, &state);
    m_capsLockReleased = state.locked_mods & LockMask;
    if (m_capsLockReleased)
        XkbLockModifiers(m_connection.display(), XkbUseCoreKbd, LockMask, 0);
}

QCoro::Task<bool> X11Keyboard::sendChord(std::vector<unsigned long> modifiers, unsigned long key)
{
    if (!beginMapping())
        co_return false;
    std::vector<int> modifierKeys;
    for (const unsigned long modifier : modifiers) {
        const int keycode = keycodeOf(modifier);
        if (keycode == 0)
            co_return false;
        modifierKeys.push_back(keycode);
    }
    int keycode = keycodeOf(key);
    if (keycode == 0) {
        if (m_spareKeys.empty())
            co_return false;
        std::set<unsigned long> keysyms { key };
        const bool placed = co_await placeOnSpareKeys(std::move(keysyms));
        if (!placed)
            co_return false;
        keycode = m_keyOf.at(key);
        m_pressedAt[keycode] = Clock::now();
    }
    for (const int modifier : modifierKeys)
        send(modifier, true);
    send(keycode, true);
    send(keycode, false);
    for (auto modifier = modifierKeys.rbegin(); modifier != modifierKeys.rend(); ++modifier)
        send(*modifier, false);
    XFlush(m_connection.display());
    co_return true;
}

QCoro::Task<> X11Keyboard::waitForModifiersReleased(std::chrono::milliseconds limit)
{
    const QPointer<X11Keyboard> self(this);
    Display* display = m_connection.display();
    std::vector<int> modifierKeys;
    const std::unique_ptr<XModifierKeymap, ModifierMapFree> modifierMap(XGetModifierMapping(display));
    for (const int index : { ShiftMapIndex, ControlMapIndex, Mod1MapIndex, Mod4MapIndex }) {
        for (int slot = 0; slot < modifierMap->max_keypermod; ++slot) {
            if (const KeyCode keycode = modifierMap->modifiermap[index * modifierMap->max_keypermod + slot])
                modifierKeys.push_back(keycode);
        }
    }
    const auto held = [display, &modifierKeys] {
        char keys[32];
        XQueryKeymap(display, keys);
        return std::any_of(modifierKeys.begin(), modifierKeys.end(),
            [&keys](int keycode) { return keys[keycode / 8] & (1 << (keycode % 8)); });
    };
    const auto deadline = Clock::now() + limit;
    while (held() && Clock::now() < deadline) {
        co_await QCoro::sleepFor(modifierPollInterval);
        if (!self)
            co_return;
    }
}

// Reads the user's map, unless this insertion or one shortly before has remapped keys already.
bool X11Keyboard::beginMapping()
{
    m_restoreTimer.stop();
    if (m_map)
        return true;
    m_map.reset(XkbGetMap(m_connection.display(), XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd));
    if (!m_map)
        return false;
    const XkbDescPtr map = m_map.get();
    m_spareKeys.clear();
    for (int keycode = map->min_key_code; keycode <= map->max_key_code; ++keycode) {
        const KeySym* keysyms = XkbKeySymsPtr(map, keycode);
        const int count = XkbKeyNumSyms(map, keycode);
        if (std::all_of(keysyms, keysyms + count, [](KeySym keysym) { return keysym == NoSymbol; })) {
            const XkbSymMapRec& entry = map->map->key_sym_map[keycode];
            m_spareKeys[keycode] = { std::to_array(entry.kt_index), entry.group_info, entry.width,
                std::vector<unsigned long>(keysyms, keysyms + count) };
        }
    }
    if (m_spareKeys.empty())
        Log::write(QStringLiteral("the keyboard map has no free key code to type with"));
    m_shiftKey = keycodeOf(XK_Shift_L);
    m_userKeysState = ~0U;
    return true;
}

// What each key of the user's map types in the keyboard's present state, alone and with Shift; the unshifted key
// wins when both type the same keysym.
void X11Keyboard::findUserKeys()
{
    XkbStateRec state {};
    XkbGetState(m_connection.display(), XkbUseCoreKbd, &state);
    const unsigned stateKey = unsigned(state.group) << 8 | state.mods;
    if (stateKey == m_userKeysState)
        return;
    m_userKeysState = stateKey;
    m_userKeys.clear();
    const XkbDescPtr map = m_map.get();
    for (const bool shift : { false, true }) {
        if (shift && m_shiftKey == 0)
            break;
        const unsigned modifiers = state.mods | (shift ? ShiftMask : 0);
        for (int keycode = map->min_key_code; keycode <= map->max_key_code; ++keycode) {
            if (m_spareKeys.contains(keycode))
                continue;
            const int group = groupOfKey(map, keycode, state.group);
            const KeySym keysym = XkbKeySymEntry(map, keycode, levelOfKey(map, keycode, group, modifiers), group);
            if (keysym != NoSymbol && !m_userKeys.contains(keysym))
                m_userKeys[keysym] = { keycode, shift };
        }
    }
}

// The user's key that has `keysym` earliest in its row: unshifted in the first group before any other place.
int X11Keyboard::keycodeOf(unsigned long keysym) const
{
    const XkbDescPtr map = m_map.get();
    int found = 0;
    int foundPosition = INT_MAX;
    for (int keycode = map->min_key_code; keycode <= map->max_key_code; ++keycode) {
        if (m_spareKeys.contains(keycode))
            continue;
        for (int group = 0; group < XkbKeyNumGroups(map, keycode); ++group) {
            for (int level = 0; level < XkbKeyGroupWidth(map, keycode, group); ++level) {
                const int position = group * XkbKeyGroupsWidth(map, keycode) + level;
                if (XkbKeySymEntry(map, keycode, level, group) == keysym && position < foundPosition) {
                    found = keycode;
                    foundPosition = position;
                }
            }
        }
    }
    return found;
}

QCoro::Task<bool> X11Keyboard::placeOnSpareKeys(std::set<unsigned long> keysyms)
{
    const QPointer<X11Keyboard> self(this);
    std::vector<int> changed;
    for (const unsigned long keysym : keysyms) {
        if (m_keyOf.contains(keysym))
            continue;
        const int keycode = spareKeyFor(keysyms);
        if (m_remapped.contains(keycode)) {
            co_await sleepUntil(m_pressedAt.at(keycode) + reuseDelay);
            if (!self)
                co_return false;
            m_keyOf.erase(m_remapped.at(keycode));
        }
        m_remapped[keycode] = keysym;
        m_keyOf[keysym] = keycode;
        changed.push_back(keycode);
    }
    if (changed.empty())
        co_return true;
    const XkbDescPtr map = m_map.get();
    for (const int keycode : changed) {
        // One level in one group: the keysym whatever the modifiers and the active layout.
        XkbResizeKeySyms(map, keycode, 1)[0] = m_remapped.at(keycode);
        XkbSymMapRec& entry = map->map->key_sym_map[keycode];
        entry.kt_index[0] = XkbOneLevelIndex;
        entry.group_info = XkbSetNumGroups(entry.group_info, 1);
        entry.width = 1;
    }
    sendMap(changed);
    co_await QCoro::sleepFor(settleDelay);
    co_return self != nullptr;
}

// A spare key that holds no keysym yet, else the one pressed longest ago whose keysym is not needed now.
int X11Keyboard::spareKeyFor(const std::set<unsigned long>& keep) const
{
    int oldest = 0;
    for (const auto& [keycode, saved] : m_spareKeys) {
        const auto remapped = m_remapped.find(keycode);
        if (remapped == m_remapped.end())
            return keycode;
        if (!keep.contains(remapped->second) && (oldest == 0 || m_pressedAt.at(keycode) < m_pressedAt.at(oldest)))
            oldest = keycode;
    }
    return oldest;
}

// Sends the symbols of every key from the lowest to the highest of `keycodes` in one request; the keys between
// go back unchanged.
void X11Keyboard::sendMap(const std::vector<int>& keycodes)
{
    const auto [lowest, highest] = std::minmax_element(keycodes.begin(), keycodes.end());
    XkbMapChangesRec changes {};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = KeyCode(*lowest);
    changes.num_key_syms = static_cast<unsigned char>(*highest - *lowest + 1);
    XkbChangeMap(m_connection.display(), m_map.get(), &changes);
    XSync(m_connection.display(), False);
}

void X11Keyboard::tap(int keycode, bool shift)
{
    if (shift)
        send(m_shiftKey, true);
    send(keycode, true);
    send(keycode, false);
    if (shift)
        send(m_shiftKey, false);
}

void X11Keyboard::send(int keycode, bool press)
{
    InjectedKeys::instance().announce(keycode - evdevOffset, press);
    XTestFakeKeyEvent(m_connection.display(), unsigned(keycode), press ? True : False, CurrentTime);
}

void X11Keyboard::restore()
{
    m_restoreTimer.stop();
    if (!m_map)
        return;
    if (!m_remapped.empty()) {
        const XkbDescPtr map = m_map.get();
        std::vector<int> keycodes;
        for (const auto& [keycode, keysym] : m_remapped) {
            const SavedKey& saved = m_spareKeys.at(keycode);
            KeySym* keysyms = XkbResizeKeySyms(map, keycode, int(saved.keysyms.size()));
            std::copy(saved.keysyms.begin(), saved.keysyms.end(), keysyms);
            XkbSymMapRec& entry = map->map->key_sym_map[keycode];
            std::copy(saved.types.begin(), saved.types.end(), entry.kt_index);
            entry.group_info = saved.groupInfo;
            entry.width = saved.width;
            keycodes.push_back(keycode);
        }
        sendMap(keycodes);
    }
    m_map.reset();
    m_remapped.clear();
    m_keyOf.clear();
    m_pressedAt.clear();
}

} // namespace kavo

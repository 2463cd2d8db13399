#include "media_control.h"

#include "store/log.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>

#include <QCoroSignal>

#include <algorithm>

namespace kavo {

namespace {

// Bundle identifiers of call and meeting applications, compared as they are written.
const char* const callPrefixes[] = { "us.zoom.", "com.microsoft.teams", "com.apple.FaceTime", "com.apple.avconferenced",
    "com.hnc.Discord", "com.tinyspeck.slackmacgap", "com.skype.", "Cisco-Systems.Spark", "net.whatsapp.WhatsApp",
    "desktop.WhatsApp", "ru.keepcoder.Telegram", "org.telegram.desktop" };

// The same applications on Linux: program names, desktop-file and Flatpak IDs, compared in lower case because
// their spelling varies between packagings ("Discord", "discord", "com.discordapp.Discord").
const char* const linuxCallPrefixes[]
    = { "zoom", "teams", "com.microsoft.teams", "com.github.ismaelmartinez.teams_for_linux", "discord",
          "com.discordapp.", "slack", "com.slack.", "skype", "whatsapp", "com.github.eneshecan.whatsappforlinux",
          "io.github.mimbrero.whatsappdesktop", "telegram", "webex", "ciscocollabhost" };

bool isCall(const AudioOutput& output)
{
    return output.appID && MediaControl::isCallApplication(*output.appID);
}

bool isCall(const MprisPlayer& player)
{
    return std::any_of(player.applicationIDs.begin(), player.applicationIDs.end(), MediaControl::isCallApplication);
}

qint32 parentOf(qint32 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses, so read from the last ')'.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toInt() : 0;
}

// A player's sound may come from a helper process it started (a browser's audio service), or from a process whose
// bus connection the desktop proxies (a sandboxed application); the application ID links those.
bool belongsTo(const AudioOutput& output, const MprisPlayer& player)
{
    if (output.appID && player.applicationIDs.contains(output.appID->toLower()))
        return true;
    if (player.pid == 0)
        return false;
    constexpr int deepestAncestry = 16;
    qint32 pid = output.pid;
    for (int depth = 0; depth < deepestAncestry && pid > 1; ++depth, pid = parentOf(pid)) {
        if (quint32(pid) == player.pid)
            return true;
    }
    return false;
}

QString nameOf(const AudioOutput& output)
{
    return output.appID.value_or(QString::number(output.pid));
}

} // namespace

MediaControl::MediaControl(std::unique_ptr<MediaPlayers> players, std::unique_ptr<AudioOutputs> outputs,
    std::unique_ptr<MediaKey> key, QObject* parent)
    : QObject(parent)
    , m_players(std::move(players))
    , m_outputs(std::move(outputs))
    , m_key(std::move(key))
{
    m_pendingCheck.setSingleShot(true);
    m_pendingCheck.setInterval(verificationDelay);
    connect(&m_pendingCheck, &QTimer::timeout, this, [this] { verify(); });
}

MediaControl::~MediaControl() = default;

bool MediaControl::isCallApplication(const QString& id)
{
    const auto startsID = [&id](const char* prefix) { return id.startsWith(QLatin1StringView(prefix)); };
    const QString lowered = id.toLower();
    const auto startsLowered = [&lowered](const char* prefix) { return lowered.startsWith(QLatin1StringView(prefix)); };
    return std::any_of(std::begin(callPrefixes), std::end(callPrefixes), startsID)
        || std::any_of(std::begin(linuxCallPrefixes), std::end(linuxCallPrefixes), startsLowered);
}

QCoro::Task<> MediaControl::takeTurn()
{
    const QPointer self(this);
    while (self && m_busy)
        co_await qCoro(this, &MediaControl::turnEnded);
    if (self)
        m_busy = true;
}

void MediaControl::endTurn()
{
    m_busy = false;
    Q_EMIT turnEnded();
}

QCoro::Task<bool> MediaControl::pauseIfPlaying()
{
    const QPointer self(this);
    co_await takeTurn();
    m_pendingCheck.stop();
    const QList<AudioOutput> before = co_await otherOutputs();
    const QList<MprisPlayer> players = co_await m_players->all();
    if (!self)
        co_return false;
    QList<MprisPlayer> playing;
    std::copy_if(players.begin(), players.end(), std::back_inserter(playing),
        [](const MprisPlayer& player) { return player.isPlaying() && !isCall(player); });
    const bool onlyCalls = playing.isEmpty() && !before.isEmpty()
        && std::all_of(before.begin(), before.end(), [](const AudioOutput& o) { return isCall(o); });
    if (onlyCalls)
        Log::write(QStringLiteral("only call apps are playing; not pressing Play/Pause"));
    // The key is for sound that no player on the bus accounts for; a player that is paused but keeps its stream
    // open counts as accounted for, since the key would start it rather than pause anything.
    const bool needsKey
        = !onlyCalls && std::any_of(before.begin(), before.end(), [&players](const AudioOutput& output) {
              return !isCall(output)
                  && std::none_of(players.begin(), players.end(),
                      [&output](const MprisPlayer& player) { return belongsTo(output, player); });
          });
    if (onlyCalls || (playing.isEmpty() && !needsKey)) {
        endTurn();
        co_return false;
    }

    Log::write(QStringLiteral("media playing; pausing it for the recording"));
    for (const MprisPlayer& player : playing) {
        m_players->pause(player.service);
        m_pausedPlayers.append(player.service);
    }
    if (needsKey) {
        m_pressed = true;
        m_key->pressPlayPause();
        m_before = before;
        m_pendingCheck.start();
    }
    endTurn();
    co_return true;
}

QCoro::Task<> MediaControl::verify()
{
    const QPointer self(this);
    co_await takeTurn();
    if (!self)
        co_return;
    if (!m_pressed) {
        endTurn();
        co_return;
    }
    // A desktop that hands the media key to its current player may have played again what was just paused on the
    // bus; then the key never reached the other sound, and the player is paused once more.
    bool keyReachedPausedPlayer = false;
    for (const QString& service : QStringList(m_pausedPlayers)) {
        if (co_await m_players->playbackStatus(service) == QLatin1String("Playing"))
            keyReachedPausedPlayer = true;
    }
    if (!self)
        co_return;
    if (keyReachedPausedPlayer) {
        m_pressed = false;
        for (const QString& service : std::as_const(m_pausedPlayers))
            m_players->pause(service);
        endTurn();
        co_return;
    }

    const QList<AudioOutput> after = co_await otherOutputs();
    if (!self)
        co_return;
    QStringList started;
    for (const AudioOutput& output : after) {
        if (std::none_of(
                m_before.begin(), m_before.end(), [&output](const AudioOutput& o) { return o.pid == output.pid; }))
            started.append(nameOf(output));
    }
    if (m_pressed && !started.isEmpty()) {
        Log::write(QStringLiteral("Play/Pause started ") + started.join(QStringLiteral(", "))
            + QStringLiteral(" instead of pausing; pressing it again"));
        m_pressed = false;
        m_key->pressPlayPause();
        // Players paused on the bus still need their resume, so the pause as a whole stands.
        if (m_pausedPlayers.isEmpty())
            Q_EMIT pauseUndone();
    }
    endTurn();
}

QCoro::Task<> MediaControl::resume()
{
    const QPointer self(this);
    co_await takeTurn();
    if (!self)
        co_return;
    m_pendingCheck.stop();
    if (!m_pressed && m_pausedPlayers.isEmpty()) {
        endTurn();
        co_return;
    }
    Log::write(QStringLiteral("resuming media"));
    // A player the user stopped or closed meanwhile stays as it is.
    const QStringList paused = std::exchange(m_pausedPlayers, {});
    for (const QString& service : paused) {
        if (co_await m_players->playbackStatus(service) == QLatin1String("Paused"))
            m_players->play(service);
        if (!self)
            co_return;
    }
    if (m_pressed) {
        m_pressed = false;
        m_key->pressPlayPause();
    }
    endTurn();
}

QCoro::Task<QList<AudioOutput>> MediaControl::otherOutputs()
{
    QList<AudioOutput> outputs = co_await m_outputs->playing();
    const auto ownPid = qint32(QCoreApplication::applicationPid());
    outputs.removeIf([ownPid](const AudioOutput& output) { return output.pid == ownPid; });
    co_return outputs;
}

} // namespace kavo

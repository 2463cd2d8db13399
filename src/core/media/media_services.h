#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <QCoroTask>

#include <optional>

namespace kavo {

/// One process that is sending audio to an output device.
struct AudioOutput
{
    qint32 pid = 0;
    /// The application ID the process gave the sound server, else its program name.
    std::optional<QString> appID;

    bool operator==(const AudioOutput&) const = default;
};

/// The processes playing sound right now, one entry per process, as the sound server sees them.
class AudioOutputs
{
public:
    virtual ~AudioOutputs() = default;
    /// Nothing when the server cannot be reached or does not answer.
    virtual QCoro::Task<QList<AudioOutput>> playing() = 0;
};

/// One media player on the session bus.
struct MprisPlayer
{
    QString service; ///< its bus name, "org.mpris.MediaPlayer2." + the player's own part
    QString playbackStatus; ///< "Playing", "Paused" or "Stopped"; empty when the player did not answer
    quint32 pid = 0; ///< the process that owns the bus name; 0 when the bus does not know it
    QStringList applicationIDs; ///< the desktop entry it names and its bus name's own part, lower case

    bool isPlaying() const { return playbackStatus == QLatin1String("Playing"); }
};

/// The media players that take commands over the session bus. Commands to a player that has gone are dropped.
class MediaPlayers
{
public:
    virtual ~MediaPlayers() = default;
    /// Every player, in the bus's order.
    virtual QCoro::Task<QList<MprisPlayer>> all() = 0;
    /// The playback status of `service` now; empty when it does not answer.
    virtual QCoro::Task<QString> playbackStatus(QString service) = 0;
    virtual void pause(const QString& service) = 0;
    virtual void play(const QString& service) = 0;
};

/// The keyboard's Play/Pause media key, sent so that whichever program listens for it receives it.
class MediaKey
{
public:
    virtual ~MediaKey() = default;
    virtual void pressPlayPause() = 0;
};

} // namespace kavo

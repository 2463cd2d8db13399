#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kavo {

/// One media player on the session bus.
struct MprisPlayer
{
    QString service; ///< its bus name, "org.mpris.MediaPlayer2." + the player's own part
    QString playbackStatus; ///< "Playing", "Paused" or "Stopped"; empty when the player did not answer
    quint32 pid = 0; ///< the process that owns the bus name; 0 when the bus does not know it
    QStringList applicationIDs; ///< the desktop entry it names and its bus name's own part, lower case

    bool isPlaying() const { return playbackStatus == QLatin1String("Playing"); }
};

/// The media players that speak MPRIS on the session bus. Without a session bus there are none, and commands to a
/// player that has gone are dropped.
class MprisPlayers
{
public:
    /// Every player, in the bus's order. Waits a short while for players that are slow to answer.
    static QList<MprisPlayer> all();
    /// The playback status of `service` now; empty when it does not answer.
    static QString playbackStatus(const QString& service);
    static void pause(const QString& service);
    static void play(const QString& service);
};

} // namespace kavo

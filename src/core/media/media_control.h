#pragma once

#include "media/media_services.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <memory>

namespace kavo {

/// Pauses the music or video that is playing while the user dictates, and resumes it afterwards.
///
/// Players on the session bus (MPRIS) that are playing are paused and later played again, exactly those. Sound
/// from a process without such a player is paused with the Play/Pause media key; since that key toggles, it is
/// pressed only when something other than a call application plays, and checked shortly after: when the press
/// started a player instead, it is pressed again and the pause is undone. Pauses and resumes run one after another,
/// in the order they were asked for, without ever blocking the main thread. Main thread only.
class MediaControl : public QObject
{
    Q_OBJECT

public:
    static constexpr auto verificationDelay = std::chrono::milliseconds(400);

    MediaControl(std::unique_ptr<MediaPlayers> players, std::unique_ptr<AudioOutputs> outputs,
        std::unique_ptr<MediaKey> key, QObject* parent = nullptr);
    ~MediaControl() override;

    /// Pauses what plays; true when something was paused.
    QCoro::Task<bool> pauseIfPlaying();
    /// Plays again what was paused; nothing when nothing was.
    QCoro::Task<> resume();

    /// Whether an application ID belongs to a call or meeting application, whose sound is never paused.
    static bool isCallApplication(const QString& id);

Q_SIGNALS:
    /// The media key started playback instead of pausing it, and nothing else is left to resume.
    void pauseUndone();
    /// A pause, resume or check finished: the next one may go.
    void turnEnded();

private:
    QCoro::Task<> takeTurn();
    void endTurn();
    QCoro::Task<QList<AudioOutput>> otherOutputs();
    QCoro::Task<> verify();

    std::unique_ptr<MediaPlayers> m_players;
    std::unique_ptr<AudioOutputs> m_outputs;
    std::unique_ptr<MediaKey> m_key;
    bool m_busy = false;
    bool m_pressed = false;
    QStringList m_pausedPlayers;
    QTimer m_pendingCheck;
    QList<AudioOutput> m_before;
};

} // namespace kavo

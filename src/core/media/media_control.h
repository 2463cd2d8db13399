#pragma once

#include "media/media_services.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace kavo {

/// Pauses the music or video that is playing while the user dictates, and resumes it afterwards.
///
/// Players on the session bus (MPRIS) that are playing are paused and later played again, exactly those. Sound
/// from a process without such a player is paused with the Play/Pause media key; since that key toggles, it is
/// pressed only when something other than a call application plays, and checked shortly after: when the press
/// started a player instead, it is pressed again and the pause is undone. Main thread only.
class MediaControl : public QObject
{
    Q_OBJECT

public:
    using Output = AudioOutput;

    static constexpr auto verificationDelay = std::chrono::milliseconds(400);

    MediaControl(std::unique_ptr<MediaPlayers> players, std::unique_ptr<AudioOutputs> outputs,
        std::unique_ptr<MediaKey> key, QObject* parent = nullptr);
    ~MediaControl() override;

    /// Pauses what plays; true when something was paused. `undone` is called later, on the main thread, when the
    /// media key started playback instead and nothing else is left to resume.
    bool pauseIfPlaying(std::function<void()> undone);
    /// Plays again what `pauseIfPlaying` paused; nothing when it paused nothing.
    void resume();

    /// Whether an application ID belongs to a call or meeting application, whose sound is never paused.
    static bool isCallApplication(const QString& id);

private:
    QList<Output> otherOutputs();
    void verify();

    std::unique_ptr<MediaPlayers> m_players;
    std::unique_ptr<AudioOutputs> m_outputs;
    std::unique_ptr<MediaKey> m_key;
    bool m_pressed = false;
    QStringList m_pausedPlayers;
    QTimer m_pendingCheck;
    QList<Output> m_before;
    std::function<void()> m_undone;
};

} // namespace kavo

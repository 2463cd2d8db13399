#pragma once

#include "media/media_services.h"

namespace kavo {

/// The media players that speak MPRIS on the session bus. Without a session bus there are none.
class MprisPlayers : public MediaPlayers
{
public:
    /// Waits a short while for players that are slow to answer.
    QCoro::Task<QList<MprisPlayer>> all() override;
    QCoro::Task<QString> playbackStatus(QString service) override;
    void pause(const QString& service) override;
    void play(const QString& service) override;
};

} // namespace kavo

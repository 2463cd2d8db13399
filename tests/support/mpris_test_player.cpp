// A media player for the tests: it owns "org.mpris.MediaPlayer2." + NAME on the session bus, answers the MPRIS
// player interface, and while it plays it sends silence to the sound server under APPLICATION-ID.
//
//   kavo_mpris_test_player NAME APPLICATION-ID Playing|Paused

#include "support/silent_stream.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>

namespace {

class Player : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)

public:
    Player(QObject* parent, QString applicationID)
        : QDBusAbstractAdaptor(parent)
        , m_applicationID(std::move(applicationID))
    { }

    QString playbackStatus() const { return m_stream.isPlaying() ? u"Playing"_qs : u"Paused"_qs; }

public Q_SLOTS:
    void Play()
    {
        if (!m_stream.isPlaying())
            m_stream.start(m_applicationID);
    }
    void Pause() { m_stream.stop(); }
    void PlayPause()
    {
        if (m_stream.isPlaying())
            Pause();
        else
            Play();
    }

private:
    QString m_applicationID;
    kavo::test::SilentStream m_stream;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 4) {
        std::fputs("usage: kavo_mpris_test_player NAME APPLICATION-ID Playing|Paused\n", stderr);
        return 2;
    }
    QObject root;
    auto* player = new Player(&root, arguments[2]);
    if (arguments[3] == QLatin1String("Playing"))
        player->Play();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(u"/org/mpris/MediaPlayer2"_qs, &root)
        || !bus.registerService(u"org.mpris.MediaPlayer2."_qs + arguments[1])) {
        std::fprintf(stderr, "cannot register on the session bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    return application.exec();
}

#include "mpris_test_player.moc"

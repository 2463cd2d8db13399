#pragma once

#include <QProcess>
#include <QString>

namespace kavo::test {

/// Whether the process `pid` has a stream on the private sound server.
bool playsOnServer(qint64 pid);

/// A `pacat` process playing silence into the default sink under a given application ID: a program that is
/// sending audio to the output, as the sound server sees it.
class SilentStream
{
public:
    SilentStream() = default;
    ~SilentStream();
    SilentStream(const SilentStream&) = delete;
    SilentStream& operator=(const SilentStream&) = delete;

    /// Starts playing and returns once the server lists the stream; false when it never appears.
    bool start(const QString& applicationID);
    /// Stops playing and returns once the server no longer lists the stream.
    void stop();
    bool isPlaying() const { return m_process.state() != QProcess::NotRunning; }

private:
    QProcess m_process;
};

} // namespace kavo::test

#include "scripted_recorder.h"

#include "audio/codec/wav_reader.h"

#include <QCoroTimer>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <cmath>
#include <numbers>

namespace kavo::test {

void ScriptedRecorder::start(const QString&, bool, FrameListener listener)
{
    m_broken = false;
    m_listener = std::move(listener);
    if (startFailure)
        throw *std::exchange(startFailure, std::nullopt);
    if (m_recording)
        throw Failure::alreadyRecording();
    m_recording = true;
    ++starts;
    if (nextRecording)
        m_made = { *nextRecording, record(*nextRecording) };
}

Recorder::Recording ScriptedRecorder::record(const QString& source) const
{
    const WavAudio audio = readWav(source);
    const QString copy = Recorder::newFilePath();
    QFile::copy(source, copy);
    if (m_listener && audio.format == WavFormat { 16000, 1, SampleFormat::int16 }) {
        const std::vector<float>& samples = audio.channels.front();
        for (size_t start = 0; start < samples.size(); start += 320) {
            std::vector<qint16> run;
            for (size_t index = start; index < std::min(start + 320, samples.size()); ++index)
                run.push_back(qint16(samples[index] * 32768.0f));
            m_listener(run.data(), int(run.size()));
        }
    }
    return Recording { copy, double(audio.frameCount()) / audio.format.sampleRate, audio.frameCount() };
}

std::optional<Recorder::Recording> ScriptedRecorder::take()
{
    const std::optional<QString> source = std::exchange(nextRecording, std::nullopt);
    const std::optional<std::pair<QString, Recording>> made = std::exchange(m_made, std::nullopt);
    if (made && made->first == source)
        return made->second;
    if (made)
        QFile::remove(made->second.path);
    if (!source)
        return std::nullopt;
    return record(*source);
}

QCoro::Task<std::optional<Recorder::Recording>> ScriptedRecorder::stop()
{
    if (!m_recording && !std::exchange(m_broken, false))
        co_return std::nullopt;
    m_recording = false;
    const std::optional<Recording> recording = take();
    // The real recorder's file arrives from its audio thread, on a later turn of the event loop.
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
    co_return recording;
}

QString ScriptedRecorder::deviceName(const QString& deviceID) const
{
    return deviceID.isEmpty() ? QStringLiteral("System default") : deviceID;
}

void ScriptedRecorder::breakDown()
{
    m_recording = false;
    m_broken = true;
    Q_EMIT failed(Failure::noMicrophone());
}

QString toneWav(double seconds)
{
    constexpr int rate = 16000;
    std::vector<float> samples(size_t(std::lround(seconds * rate)));
    for (size_t index = 0; index < samples.size(); ++index)
        samples[index] = 0.3f * float(std::sin(2 * std::numbers::pi * 440 * double(index) / rate));
    const QString path
        = QDir::temp().filePath(QStringLiteral("tone-%1.wav").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)));
    writeWav(path, WavFormat { rate, 1, SampleFormat::int16 }, { samples });
    return path;
}

} // namespace kavo::test

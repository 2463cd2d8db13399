#include "scripted_recorder.h"

#include "audio/codec/wav_reader.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QUuid>

#include <cmath>
#include <numbers>

namespace kavo::test {

void ScriptedRecorder::start(const QString&, bool)
{
    if (startFailure)
        throw *std::exchange(startFailure, std::nullopt);
    if (m_recording)
        throw Failure::alreadyRecording();
    m_recording = true;
    ++starts;
}

void ScriptedRecorder::stop(Completion completion)
{
    if (!m_recording) {
        completion(std::nullopt);
        return;
    }
    m_recording = false;
    std::optional<Recording> recording;
    if (const std::optional<QString> source = std::exchange(nextRecording, std::nullopt)) {
        const WavAudio audio = readWav(*source);
        const QString copy = Recorder::newFileURL();
        QFile::copy(*source, copy);
        recording = Recording { copy, double(audio.frameCount()) / audio.format.sampleRate };
    }
    QTimer::singleShot(0, [completion = std::move(completion), recording] { completion(recording); });
}

QString ScriptedRecorder::deviceName(const QString& deviceID) const
{
    return deviceID.isEmpty() ? QStringLiteral("System default") : deviceID;
}

void ScriptedRecorder::breakDown()
{
    m_recording = false;
    if (onFailure)
        onFailure(Failure::noMicrophone(), std::nullopt);
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

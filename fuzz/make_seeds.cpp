// Writes the fuzz targets' starting inputs into one folder per target: data files made by the real encoders,
// requests and uploads as the phone page sends them, replies in the forms the Gemini service gives, and short
// recordings in every format a phone uploads (the ones the core cannot write come from the ffmpeg program).
#include "audio/codec/aac_encoder.h"
#include "audio/codec/wav_reader.h"
#include "notes/notes_store.h"
#include "store/config.h"
#include "store/history.h"
#include "store/json_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace kavo;

namespace {

const QByteArray token = "fuzz-token";

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "make_seeds: %s\n", qPrintable(message));
    std::exit(1);
}

class SeedFolder
{
public:
    SeedFolder(const QString& root, const QString& target)
        : m_dir(QDir(root).filePath(target))
    {
        if (!m_dir.mkpath(QStringLiteral(".")))
            die(QStringLiteral("cannot make ") + m_dir.path());
    }

    void add(const QString& name, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            die(QStringLiteral("cannot write ") + file.fileName());
    }

private:
    QDir m_dir;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read ") + path);
    return file.readAll();
}

QDateTime at(int day, int hour)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, 30), Qt::UTC);
}

std::vector<float> tone(int frames, int rate)
{
    std::vector<float> samples(frames);
    for (int frame = 0; frame < frames; ++frame)
        samples[frame] = 0.5f * std::sin(2.0f * float(M_PI) * 440.0f * float(frame) / float(rate));
    return samples;
}

void writeDataFiles(const QString& root)
{
    Config config;
    SeedFolder(root, QStringLiteral("config")).add(QStringLiteral("defaults.json"), config.encode());
    config.apiKey = QStringLiteral("AIza-fuzz");
    config.languageCodes = { QStringLiteral("en-US"), QStringLiteral("uz-UZ") };
    config.vocabulary = { VocabularyWord { QUuid::createUuid(), QStringLiteral("Kavo"), QStringLiteral("en-US") } };
    config.snippets = { Snippet { QUuid::createUuid(), QStringLiteral("my address"), QStringLiteral("1 Main St\nX") } };
    config.hudX = 10.5;
    config.hudY = -3;
    config.theme = ThemeMode::automatic;
    config.phoneToken = QString::fromLatin1(token);
    SeedFolder(root, QStringLiteral("config")).add(QStringLiteral("changed.json"), config.encode());

    History history;
    HistoryEntry done { .id = QUuid::createUuid(),
        .date = at(4, 9),
        .text = QStringLiteral("Hello there."),
        .duration = 2.5,
        .model = Config::defaultModel };
    done.appName = QStringLiteral("Text Editor");
    done.appID = QStringLiteral("org.gnome.TextEditor");
    done.latency = 0.8;
    HistoryEntry failed { .id = QUuid::createUuid(), .date = at(5, 10), .duration = 1, .model = Config::defaultModel };
    failed.status = HistoryEntry::Status::failed;
    failed.audioFile = json::uuidText(failed.id) + QStringLiteral(".wav");
    failed.error = QStringLiteral("The request timed out.");
    failed.offline = true;
    HistoryEntry discarded { .id = QUuid::createUuid(), .date = at(6, 11), .model = Config::defaultModel };
    discarded.status = HistoryEntry::Status::discarded;
    discarded.source = DictationSource::phone;
    history.entries = { discarded, failed, done };
    SeedFolder(root, QStringLiteral("history")).add(QStringLiteral("entries.json"), history.encode());

    NotesStore notes = NotesStore::starter();
    SeedFolder(root, QStringLiteral("notes")).add(QStringLiteral("starter.json"), notes.encode());
    notes.notes = { Note { QUuid::createUuid(), notes.folders.first().id, QStringLiteral("Weekly sync #3"),
                        QStringLiteral("Agenda\nBudget"), at(1, 8), at(2, 9), QStringLiteral("meeting"), 3 },
        Note { QUuid::createUuid(), QUuid::createUuid(), QString(), QString(), at(3, 8), at(3, 8), {}, {} } };
    SeedFolder(root, QStringLiteral("notes")).add(QStringLiteral("notes.json"), notes.encode());
}

QByteArray request(const QByteArray& head, const QByteArray& body = {})
{
    QByteArray bytes = head + "\r\nHost: kavo.test:8765\r\nUser-Agent: Mozilla/5.0\r\n";
    if (!body.isEmpty())
        bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return bytes + "\r\n" + body;
}

QByteArray multipart(const QByteArray& boundary, const QByteArray& partHeaders, const QByteArray& content)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n--" + boundary + "\r\n"
        + partHeaders + "\r\n\r\n" + content + "\r\n--" + boundary + "--\r\n";
}

void writeRequests(const QString& root, const QByteArray& wav)
{
    const SeedFolder requests(root, QStringLiteral("http_request"));
    requests.add(QStringLiteral("page"), request("GET /?t=" + token + " HTTP/1.1"));
    requests.add(QStringLiteral("status"), request("GET /status?t=" + token + "&x=%E2%82%AC HTTP/1.1"));
    requests.add(QStringLiteral("font"), request("GET /font/Onest-Regular.ttf HTTP/1.1"));
    requests.add(QStringLiteral("upload"),
        request("POST /audio?t=" + token + " HTTP/1.1\r\nContent-Type: audio/wav", wav.first(200)));
    requests.add(QStringLiteral("bad-length"),
        request("POST /audio?t=" + token + " HTTP/1.1\r\nContent-Length: +0x10\r\nContent-Length: 99999999999"));

    const SeedFolder parts(root, QStringLiteral("multipart"));
    const QByteArray content = wav.first(120);
    parts.add(QStringLiteral("file"),
        "multipart/form-data; boundary=----kavo\n"
            + multipart("----kavo",
                "Content-Disposition: form-data; name=\"audio\"; filename=\"a.wav\"\r\nContent-Type: audio/wav",
                content));
    parts.add(QStringLiteral("quoted"),
        "multipart/form-data; boundary=\"b c\"\n" + multipart("b c", "Content-Type: audio/mp4", content));
    parts.add(QStringLiteral("no-file"),
        "multipart/form-data; boundary=x\n" + multipart("x", "Content-Type: text/plain", "hi"));
    requests.add(QStringLiteral("multipart"),
        request("POST /audio?t=" + token + " HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=----kavo",
            multipart("----kavo", "Content-Disposition: form-data; name=\"audio\"; filename=\"a.wav\"", content)));
}

void writeReplies(const QString& root)
{
    const SeedFolder replies(root, QStringLiteral("gemini_reply"));
    replies.add(QStringLiteral("text"),
        R"({"candidates":[{"content":{"parts":[{"text":"thinking","thought":true},{"text":" Hello there. "}],)"
        R"("role":"model"},"finishReason":"STOP"}],"usageMetadata":{"promptTokenCount":12}})");
    replies.add(
        QStringLiteral("cut-short"), R"({"candidates":[{"content":{"parts":[]},"finishReason":"MAX_TOKENS"}]})");
    replies.add(QStringLiteral("blocked"), R"({"promptFeedback":{"blockReason":"SAFETY"}})");
    replies.add(QStringLiteral("interaction"),
        R"({"steps":[{"content":[{"type":"text","text":"Hello"}]},{"content":[{"text":" world"}]}]})");
    replies.add(QStringLiteral("error"),
        R"({"error":{"code":400,"message":"API key not valid. Please pass a valid API key.","status":"INVALID_ARGUMENT"}})");
    replies.add(QStringLiteral("models"),
        R"({"models":[{"name":"models/gemini-2.5-flash-lite"},{"name":"models/gemini-2.5-flash"},{"name":7}]})");
    replies.add(QStringLiteral("note"),
        R"({"text":"We agreed on the budget.","kind":"Meeting","title":"\"Budget review.\"","folder":"Work\nPlans"})");
    replies.add(QStringLiteral("not-json"), "<html>502 Bad Gateway</html>");
}

void runFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
        QStringList { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y") } + arguments);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        die(QStringLiteral("ffmpeg failed: ") + QString::fromLocal8Bit(ffmpeg.readAllStandardError()));
}

// A RIFF file with WAVE_FORMAT_EXTENSIBLE float samples and a chunk of its own before the data.
QByteArray extensibleWav(const std::vector<float>& samples)
{
    QByteArray format(40, '\0');
    const auto put16 = [&](int at, quint16 value) { qToLittleEndian(value, format.data() + at); };
    const auto put32 = [&](int at, quint32 value) { qToLittleEndian(value, format.data() + at); };
    put16(0, 0xFFFE);
    put16(2, 1);
    put32(4, 8000);
    put32(8, 8000 * 4);
    put16(12, 4);
    put16(14, 32);
    put16(16, 22);
    put16(18, 32);
    put32(20, 4);
    format.replace(24, 16, QByteArray::fromHex("0300000000001000800000aa00389b71"));
    QByteArray data(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * sizeof(float)));
    QByteArray body = "WAVEfmt " + QByteArray(4, '\0') + format + "LIST" + QByteArray::fromHex("04000000") + "INFO"
        + "data" + QByteArray(4, '\0') + data;
    qToLittleEndian(quint32(format.size()), body.data() + 8);
    qToLittleEndian(quint32(data.size()), body.data() + 4 + 8 + format.size() + 12 + 4);
    QByteArray riff = "RIFF" + QByteArray(4, '\0') + body;
    qToLittleEndian(quint32(body.size()), riff.data() + 4);
    return riff;
}

QByteArray writeAudio(const QString& root)
{
    QTemporaryDir work;
    if (!work.isValid())
        die(QStringLiteral("cannot make a temporary folder"));
    const QString mono = work.filePath(QStringLiteral("mono.wav"));
    writeWav(mono, WavFormat { 16000, 1, SampleFormat::int16 }, { tone(1600, 16000) });
    const QString stereo = work.filePath(QStringLiteral("stereo.wav"));
    writeWav(stereo, WavFormat { 44100, 2, SampleFormat::float32 }, { tone(441, 44100), tone(441, 44100) });

    const SeedFolder wavs(root, QStringLiteral("wav_reader"));
    wavs.add(QStringLiteral("mono-16bit.wav"), readAll(mono));
    wavs.add(QStringLiteral("stereo-float.wav"), readAll(stereo));
    wavs.add(QStringLiteral("extensible.wav"), extensibleWav(tone(200, 8000)));

    // Each upload is prefixed with the byte that makes the phone audio target name its content type.
    const SeedFolder uploads(root, QStringLiteral("phone_audio"));
    const QString m4a = AACEncoder::m4a(mono);
    uploads.add(QStringLiteral("m4a"), QByteArray(1, 0) + readAll(m4a));
    uploads.add(QStringLiteral("wav"), QByteArray(1, 1) + readAll(mono));
    const std::pair<const char*, char> others[] = { { "aac", 2 }, { "mp3", 3 }, { "caf", 4 } };
    for (const auto& [extension, type] : others) {
        const QString path = work.filePath(QStringLiteral("upload.") + QLatin1String(extension));
        runFfmpeg({ QStringLiteral("-i"), mono, QStringLiteral("-ac"), QStringLiteral("1"), path });
        uploads.add(QLatin1String(extension), QByteArray(1, type) + readAll(path));
    }
    return readAll(mono);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        die(QStringLiteral("usage: make_seeds FOLDER"));
    const QString root = QString::fromLocal8Bit(argv[1]);
    writeDataFiles(root);
    writeRequests(root, writeAudio(root));
    writeReplies(root);
    return 0;
}

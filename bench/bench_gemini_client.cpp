#include "bench_support.h"
#include "transcription/gemini_client.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <QCoroNetworkReply>

#include <benchmark/benchmark.h>

using namespace kavo;

namespace {

/// Answers every request at once with one fixed generate-content reply, on its own thread so the client's
/// event loop only does the client's work.
class InstantServer : public QObject
{
public:
    InstantServer()
    {
        const QJsonObject part { { QStringLiteral("text"), QStringLiteral("Hello there") } };
        const QJsonObject candidate { { QStringLiteral("content"),
                                          QJsonObject { { QStringLiteral("parts"), QJsonArray { part } } } },
            { QStringLiteral("finishReason"), QStringLiteral("STOP") } };
        const QByteArray body
            = QJsonDocument(QJsonObject { { QStringLiteral("candidates"), QJsonArray { candidate } } }).toJson();
        m_response = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        connect(&m_server, &QTcpServer::newConnection, this, &InstantServer::accept);
    }

    quint16 listen()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        return m_server.serverPort();
    }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                for (;;) {
                    const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
                    if (headerEnd < 0)
                        return;
                    const QByteArray header = buffer->left(headerEnd).toLower();
                    const qsizetype lengthAt = header.indexOf("content-length:");
                    const qsizetype length = lengthAt < 0
                        ? 0
                        : header.mid(lengthAt + 15, header.indexOf('\r', lengthAt) - lengthAt - 15)
                              .trimmed()
                              .toLongLong();
                    if (buffer->size() < headerEnd + 4 + length)
                        return;
                    buffer->remove(0, headerEnd + 4 + length);
                    socket->write(m_response);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server { this }; // a child, so it moves to the server thread with its owner
    QByteArray m_response;
};

struct Fixture
{
    QThread thread;
    InstantServer* server = nullptr;
    QString smallFile;
    QString tenSecondFile;

    Fixture()
    {
        const QString folder = bench::useTemporaryDataFolder();
        smallFile = writeWav(folder + QStringLiteral("/small.wav"), 3200); // 0.1 s
        tenSecondFile = writeWav(folder + QStringLiteral("/ten-seconds.wav"), 320000);
        server = new InstantServer;
        server->moveToThread(&thread);
        thread.start();
        quint16 port = 0;
        QMetaObject::invokeMethod(
            server, [&] { port = server->listen(); }, Qt::BlockingQueuedConnection);
        qputenv("KAVO_GEMINI_BASE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(port));
    }

    ~Fixture()
    {
        QMetaObject::invokeMethod(
            server, [this] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    /// A 16 kHz mono 16-bit WAV of `dataBytes` bytes of a tone.
    static QString writeWav(const QString& path, int dataBytes)
    {
        QByteArray data(dataBytes, '\0');
        for (int i = 0; i + 1 < dataBytes; i += 2)
            data[i + 1] = static_cast<char>((i / 2) % 40 < 20 ? 0x10 : -0x10);
        QByteArray header = "RIFF";
        const auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
        const auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
        header += le32(36 + dataBytes) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(16000) + le32(32000) + le16(2)
            + le16(16) + "data" + le32(dataBytes);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(header + data) != header.size() + data.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

Fixture* running = nullptr;

Fixture& fixture()
{
    return *running;
}

GeminiClient client()
{
    GeminiClient client;
    client.apiKey = QStringLiteral("bench-key");
    client.model = QStringLiteral("gemini-3.8-flash");
    client.thinkingLevel = QStringLiteral("low");
    client.languageCodes = { QStringLiteral("uz"), QStringLiteral("en") };
    return client;
}

// One whole transcription against a server that answers at once: reading the file, building and sending the
// body, and reading the reply.
void transcribe(benchmark::State& state)
{
    const QString path = state.range(0) ? fixture().tenSecondFile : fixture().smallFile;
    const GeminiClient gemini = client();
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(gemini.transcribe(path)));
    const QByteArray audio = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    const QJsonObject body = gemini.generateContentBody(
        gemini.instructions(GeminiClient::dictationClosing), audio, GeminiClient::mimeType(path), std::nullopt);
    state.counters["bodyBytes"] = static_cast<double>(QJsonDocument(body).toJson(QJsonDocument::Compact).size());
}
BENCHMARK(transcribe)->Arg(0)->Arg(1)->ArgName("tenSeconds")->Unit(benchmark::kMicrosecond);

// The same exchange with the body prepared beforehand and no reply reading: the floor the client adds to.
void rawPost(benchmark::State& state)
{
    const QString path = state.range(0) ? fixture().tenSecondFile : fixture().smallFile;
    const GeminiClient gemini = client();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray payload
        = QJsonDocument(gemini.generateContentBody(gemini.instructions(GeminiClient::dictationClosing), file.readAll(),
                            GeminiClient::mimeType(path), std::nullopt))
              .toJson(QJsonDocument::Compact);
    QNetworkRequest request(GeminiClient::modelEndpoint(gemini.model, QStringLiteral("generateContent")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    for (auto _ : state) {
        QNetworkReply* reply = GeminiClient::network().post(request, payload);
        QCoro::waitFor(qCoro(reply).waitForFinished());
        benchmark::DoNotOptimize(reply->readAll());
        delete reply;
    }
}
BENCHMARK(rawPost)->Arg(0)->Arg(1)->ArgName("tenSeconds")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture fixture;
    running = &fixture;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

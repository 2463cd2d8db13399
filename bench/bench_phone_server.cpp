#include "bench_support.h"

#include "support/fake_gemini.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

using namespace kavo;
using Clock = std::chrono::steady_clock;

namespace {

const QString token = QStringLiteral("benchtoken");

// The phone link as a user runs it, `kavo-voice serve`, in a process of its own so that its memory is its own; the
// service it transcribes with is the tests' fake one, answering at once.
class ServeProcess
{
public:
    explicit ServeProcess(const test::FakeGemini& gemini)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KAVO_DATA_DIR", bench::useTemporaryDataFolder());
        environment.insert("KAVO_GEMINI_BASE_URL", gemini.baseUrl().toString());
        environment.insert("GEMINI_API_KEY", "bench-key");
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(KAVO_VOICE_BINARY), { "serve", "--port", "0", "--token", token });
        m_process.waitForStarted();
        const QRegularExpression listening("listening on port (\\d+)");
        QByteArray out;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000 && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(100);
            out += m_process.readAllStandardOutput();
            if (const QRegularExpressionMatch match = listening.match(QString::fromUtf8(out)); match.hasMatch()) {
                port = quint16(match.captured(1).toUInt());
                return;
            }
        }
        std::fprintf(stderr, "kavo-voice serve: %s%s\n", out.constData(), m_process.readAllStandardError().constData());
    }

    ~ServeProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    /// A line of the process's /proc status in KiB: "VmRSS", or "VmHWM" for its peak.
    double statusKiB(const QByteArray& key) const { return bench::statusKiB(key, m_process.processId()); }

    quint16 port = 0;

private:
    QProcess m_process;
};

struct Exchange
{
    QByteArray reply;
    /// From the request's last byte leaving this process to the reply's last byte.
    std::chrono::duration<double, std::milli> answer {};
};

// One request over a new TLS connection, with this thread's event loop running (the fake service lives on it).
std::optional<Exchange> exchange(quint16 port, const QByteArray& request)
{
    QSslSocket socket;
    socket.setPeerVerifyMode(QSslSocket::VerifyNone);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    Exchange result;
    std::optional<Clock::time_point> sent;
    QObject::connect(&socket, &QSslSocket::encrypted, [&] { socket.write(request); });
    QObject::connect(&socket, &QSslSocket::bytesWritten, [&] {
        if (socket.bytesToWrite() == 0 && !sent)
            sent = Clock::now();
    });
    QObject::connect(&socket, &QSslSocket::readyRead, [&] { result.reply += socket.readAll(); });
    QObject::connect(&socket, &QSslSocket::disconnected, &loop, &QEventLoop::quit);
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    limit.start(30000);
    loop.exec();
    if (!sent || result.reply.isEmpty())
        return std::nullopt;
    result.answer = Clock::now() - *sent;
    return result;
}

// The server for one benchmark; none, with the benchmark told why, when it does not start.
std::unique_ptr<ServeProcess> startServer(benchmark::State& state, const test::FakeGemini& gemini)
{
    auto server = std::make_unique<ServeProcess>(gemini);
    if (server->port)
        return server;
    state.SkipWithError("kavo-voice serve did not start");
    return nullptr;
}

QByteArray upload(const QByteArray& wav)
{
    return "POST /audio?t=" + token.toUtf8() + " HTTP/1.1\r\nContent-Type: audio/wav\r\nContent-Length: "
        + QByteArray::number(wav.size()) + "\r\n\r\n" + wav;
}

// Status checks, each over a new TLS connection as the phone page makes them: handshake, request, reply, close.
void statusOverTls(benchmark::State& state)
{
    test::FakeGemini gemini;
    gemini.start();
    const std::unique_ptr<ServeProcess> server = startServer(state, gemini);
    if (!server)
        return;
    const QByteArray request = "GET /status?t=" + token.toUtf8() + " HTTP/1.1\r\n\r\n";
    for (auto _ : state) {
        if (!exchange(server->port, request)) {
            state.SkipWithError("no reply");
            return;
        }
    }
    state.counters["requests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(statusOverTls)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// An upload of 10 s of speech as the phone page sends it (16 kHz mono WAV over TLS): from its last byte to the
// transcript's reply, with everything between (decoding, trimming, encoding, the request to the service).
void uploadTenSeconds(benchmark::State& state)
{
    test::FakeGemini gemini;
    gemini.start();
    gemini.answerModelLookups(true);
    const std::unique_ptr<ServeProcess> server = startServer(state, gemini);
    QFile file(bench::speechWav(10));
    if (!server || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray request = upload(file.readAll());
    for (auto _ : state) {
        gemini.enqueue(test::FakeGemini::text(QStringLiteral("The report is ready.")));
        const std::optional<Exchange> result = exchange(server->port, request);
        if (!result || !result->reply.contains("200 OK")) {
            state.SkipWithError("the upload was not answered");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(result->answer).count());
    }
}
BENCHMARK(uploadTenSeconds)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// A good client's status check while 200 other connections sit idle: silent TCP connections that never start their
// TLS handshake (0), or finished handshakes that never send a request (1). Reports the server's memory with them open.
void goodClientAmongIdleOnes(benchmark::State& state)
{
    test::FakeGemini gemini;
    gemini.start();
    const std::unique_ptr<ServeProcess> server = startServer(state, gemini);
    if (!server)
        return;
    const bool handshake = state.range(0) == 1;
    const double before = server->statusKiB("VmRSS");
    std::vector<std::unique_ptr<QSslSocket>> idle;
    for (int index = 0; index < 200; ++index) {
        auto socket = std::make_unique<QSslSocket>();
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        if (handshake)
            socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), server->port);
        else
            socket->connectToHost(QStringLiteral("127.0.0.1"), server->port);
        idle.push_back(std::move(socket));
    }
    for (const auto& socket : idle) {
        if (handshake ? !socket->waitForEncrypted(10000) : !socket->waitForConnected(10000)) {
            state.SkipWithError("an idle connection did not open");
            return;
        }
    }
    const QByteArray request = "GET /status?t=" + token.toUtf8() + " HTTP/1.1\r\n\r\n";
    double slowest = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!exchange(server->port, request)) {
            state.SkipWithError("the good client was not answered");
            return;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        slowest = std::max(slowest, elapsed * 1000);
        state.SetIterationTime(elapsed);
    }
    state.counters["slowest ms"] = slowest;
    state.counters["server RSS growth MiB"] = (server->statusKiB("VmRSS") - before) / 1024;
    state.counters["server peak RSS MiB"] = server->statusKiB("VmHWM") / 1024;
}
BENCHMARK(goodClientAmongIdleOnes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithQtApplication(argc, argv);
}

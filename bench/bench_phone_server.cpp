#include "bench_support.h"

#include "phone/http_parser.h"

#include "support/fake_gemini.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
    qint64 pid() const { return m_process.processId(); }
    /// The processor time the phone server's thread has used so far.
    double serverThreadCpuSeconds() const
    {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(m_process.processId());
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(tasks + '/' + task + QStringLiteral("/comm"));
            QFile stat(tasks + '/' + task + QStringLiteral("/stat"));
            // The kernel keeps the first 15 bytes of a thread's name.
            if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "kavo.phone-serv"
                || !stat.open(QIODevice::ReadOnly))
                continue;
            // The fields after the name, which is in brackets and may hold spaces: utime and stime are the 12th
            // and 13th of them.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
        }
        return 0;
    }

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

// Runs this thread's event loop for a while, so that the fake service keeps answering.
void pause(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs this thread's event loop until `done` holds, for `limit` at most; whether it holds.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (!done() && Clock::now() < end)
        pause(std::chrono::milliseconds(20));
    return done();
}

// Clients that misbehave, on a thread of their own so that their work does not hold up the good client's event loop.
// `begin` makes them on that thread as children of the object it is given; they all go when the crowd stops.
class Crowd
{
public:
    explicit Crowd(std::function<void(QObject& home)> begin)
    {
        m_thread.start();
        m_home = new QObject;
        m_home->moveToThread(&m_thread);
        QObject* home = m_home;
        QMetaObject::invokeMethod(home, [home, begin] { begin(*home); });
    }

    ~Crowd() { stop(); }

    void stop()
    {
        if (!m_home)
            return;
        QMetaObject::invokeMethod(
            m_home,
            [home = m_home] {
                // Sockets tell of their end as they are deleted; nothing is to follow from that now.
                for (QObject* child : home->findChildren<QObject*>())
                    child->disconnect();
                delete home;
            },
            Qt::BlockingQueuedConnection);
        m_home = nullptr;
        m_thread.quit();
        m_thread.wait();
    }

private:
    QThread m_thread;
    QObject* m_home = nullptr;
};

// One request over a new TLS connection on the calling thread's event loop, without waiting: `done` gets what came
// back and how long it took from the connection's start.
void sendAsync(QObject& home, quint16 port, const QByteArray& request, std::function<void(QByteArray, double)> done)
{
    auto* socket = new QSslSocket(&home);
    auto reply = std::make_shared<QByteArray>();
    auto finished = std::make_shared<bool>(false);
    QElapsedTimer clock;
    clock.start();
    const auto finish = [socket, reply, finished, clock, done] {
        if (std::exchange(*finished, true))
            return;
        *reply += socket->readAll();
        socket->deleteLater();
        done(*reply, double(clock.nsecsElapsed()) / 1e6);
    };
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    QObject::connect(socket, &QSslSocket::encrypted, socket, [socket, request] { socket->write(request); });
    QObject::connect(socket, &QSslSocket::readyRead, socket, [socket, reply] { *reply += socket->readAll(); });
    QObject::connect(socket, &QSslSocket::disconnected, socket, finish);
    QObject::connect(socket, &QSslSocket::errorOccurred, socket, [socket, finish] {
        if (socket->state() == QAbstractSocket::UnconnectedState)
            finish();
    });
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
}

// The first bytes of a TLS ClientHello: a handshake that starts and never goes on.
QByteArray clientHelloStart()
{
    return QByteArray::fromHex("160301020001000001fc0303") + QByteArray(32, '\x5a');
}

// Uploads at the limit over new TLS connections, one after the other, after one upload of a byte more.
class LimitUploads : public QObject
{
public:
    struct Results
    {
        std::atomic<bool> refusedOverTheLimit { false };
        std::atomic<int> answered { 0 };
        std::atomic<int> wrongReplies { 0 };
        std::atomic<double> totalMs { 0 };
    };

    LimitUploads(QObject& home, quint16 port, QByteArray atTheLimit, const QByteArray& overTheLimit,
        std::shared_ptr<Results> results)
        : QObject(&home)
        , m_port(port)
        , m_atTheLimit(std::move(atTheLimit))
        , m_results(std::move(results))
    {
        sendAsync(*this, m_port, overTheLimit, [this](const QByteArray& reply, double) {
            m_results->refusedOverTheLimit = reply.startsWith("HTTP/1.1 413 Content Too Large\r\n")
                && reply.endsWith(R"({"error":"The recording is too large."})");
            next();
        });
    }

private:
    void next()
    {
        sendAsync(*this, m_port, m_atTheLimit, [this](const QByteArray& reply, double ms) {
            // The flow cannot read the file part: this is the server's answer to a body it took whole.
            if (reply.startsWith("HTTP/1.1 500 ") && reply.contains(R"({"error":)")) {
                ++m_results->answered;
                m_results->totalMs = m_results->totalMs + ms;
            } else {
                ++m_results->wrongReplies;
            }
            next();
        });
    }

    quint16 m_port;
    QByteArray m_atTheLimit;
    std::shared_ptr<Results> m_results;
};

// Rounds of 16 clients over TLS that send their request's first part and vanish. The server's memory is read once
// each round has gone.
class VanishingRounds : public QObject
{
public:
    static constexpr int rounds = 20;

    struct Progress
    {
        std::atomic<int> done { 0 };
        /// Written on the crowd's thread; read once it has stopped.
        std::vector<double> rssKiB;
    };

    VanishingRounds(QObject& home, quint16 port, qint64 pid, QByteArray firstPart, std::shared_ptr<Progress> progress)
        : QObject(&home)
        , m_port(port)
        , m_pid(pid)
        , m_firstPart(std::move(firstPart))
        , m_progress(std::move(progress))
    {
        round();
    }

private:
    void round()
    {
        m_left = 16;
        for (int client = 0; client < 16; ++client) {
            auto* socket = new QSslSocket(this);
            auto gone = std::make_shared<bool>(false);
            const auto vanish = [this, socket, gone] {
                if (std::exchange(*gone, true))
                    return;
                socket->abort();
                socket->deleteLater();
                if (--m_left == 0)
                    QTimer::singleShot(300, this, &VanishingRounds::roundOver);
            };
            socket->setPeerVerifyMode(QSslSocket::VerifyNone);
            connect(socket, &QSslSocket::encrypted, socket, [this, socket] { socket->write(m_firstPart); });
            connect(socket, &QSslSocket::encryptedBytesWritten, socket, [socket, vanish] {
                if (socket->bytesToWrite() == 0 && socket->encryptedBytesToWrite() == 0)
                    vanish();
            });
            connect(socket, &QSslSocket::errorOccurred, socket, vanish);
            socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), m_port);
        }
    }

    void roundOver()
    {
        m_progress->rssKiB.push_back(bench::statusKiB("VmRSS", m_pid));
        if (++m_progress->done < rounds)
            round();
    }

    quint16 m_port;
    qint64 m_pid;
    QByteArray m_firstPart;
    std::shared_ptr<Progress> m_progress;
    int m_left = 0;
};

// What a benchmark of the server under abuse reports besides the good client's times: the server's resident memory
// before the abuse, while it goes on and once it has stopped, and its peak.
class ServerMemory
{
public:
    explicit ServerMemory(const ServeProcess& server)
        : m_server(server)
        , m_baseline(server.statusKiB("VmRSS"))
    { }

    void sampleDuring() { m_during = m_server.statusKiB("VmRSS"); }

    void report(benchmark::State& state) const
    {
        state.counters["RSS before MiB"] = m_baseline / 1024;
        state.counters["RSS during MiB"] = m_during / 1024;
        state.counters["RSS peak MiB"] = m_server.statusKiB("VmHWM") / 1024;
        state.counters["RSS after MiB"] = m_server.statusKiB("VmRSS") / 1024;
    }

private:
    const ServeProcess& m_server;
    double m_baseline = 0;
    double m_during = 0;
};

const QString transcript = QStringLiteral("The report is ready.");

// The good client's uploads of 10 s of speech, one per iteration with a quarter second between them, each timed from
// its connection's start to the transcript's reply. False, with the benchmark told why, when one goes unanswered.
bool goodClientUploads(benchmark::State& state, test::FakeGemini& gemini, quint16 port, const QByteArray& request)
{
    const QByteArray expected = "{\"text\":\"" + transcript.toUtf8() + "\"}";
    double slowest = 0;
    for (auto _ : state) {
        gemini.enqueue(test::FakeGemini::text(transcript));
        const auto start = Clock::now();
        const std::optional<Exchange> result = exchange(port, request);
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (!result || !result->reply.endsWith(expected)) {
            state.SkipWithError("the good client's upload was not answered with its transcript");
            return false;
        }
        state.SetIterationTime(elapsed);
        slowest = std::max(slowest, elapsed * 1000);
        pause(std::chrono::milliseconds(250));
    }
    state.counters["slowest ms"] = slowest;
    return true;
}

// A server, the fake service behind it and the good client's upload, ready for a benchmark under abuse: one upload
// has gone through already, so that the memory measured before the abuse holds what the first one sets up.
struct Stage
{
    test::FakeGemini gemini;
    std::unique_ptr<ServeProcess> server;
    QByteArray request;

    explicit Stage(benchmark::State& state)
    {
        gemini.start();
        gemini.answerModelLookups(true);
        server = startServer(state, gemini);
        QFile file(bench::speechWav(10));
        if (!server || !file.open(QIODevice::ReadOnly)) {
            server.reset();
            return;
        }
        request = upload(file.readAll());
        gemini.enqueue(test::FakeGemini::text(transcript));
        if (!exchange(server->port, request)) {
            state.SkipWithError("the first upload was not answered");
            server.reset();
            return;
        }
        pause(std::chrono::milliseconds(500));
    }
};

// The good client's uploads while 200 other connections sit on the server: silent TCP connections that never start
// their TLS handshake (0), finished handshakes that never send a request (1), or finished handshakes that trickle a
// request one byte a second (2).
void goodClientAmongIdleOnes(benchmark::State& state)
{
    Stage stage(state);
    if (!stage.server)
        return;
    ServerMemory memory(*stage.server);
    const int mode = int(state.range(0));
    struct Counts
    {
        std::atomic<int> ready { 0 };
        std::atomic<int> closed { 0 };
    };
    auto counts = std::make_shared<Counts>();
    const quint16 port = stage.server->port;
    Crowd crowd([port, mode, counts](QObject& home) {
        auto sockets = std::make_shared<QList<QSslSocket*>>();
        for (int index = 0; index < 200; ++index) {
            auto* socket = new QSslSocket(&home);
            socket->setPeerVerifyMode(QSslSocket::VerifyNone);
            QObject::connect(socket, mode == 0 ? &QSslSocket::connected : &QSslSocket::encrypted, socket,
                [counts] { ++counts->ready; });
            QObject::connect(socket, &QSslSocket::disconnected, socket, [counts] { ++counts->closed; });
            if (mode == 0)
                socket->connectToHost(QStringLiteral("127.0.0.1"), port);
            else
                socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
            sockets->append(socket);
        }
        if (mode != 2)
            return;
        const QByteArray head = "GET /status?t=" + token.toUtf8() + " HTTP/1.1\r\nHost: phone\r\n\r\n";
        auto* trickle = new QTimer(&home);
        auto sent = std::make_shared<qsizetype>(0);
        QObject::connect(trickle, &QTimer::timeout, trickle, [sockets, head, sent] {
            for (QSslSocket* socket : std::as_const(*sockets)) {
                if (socket->isEncrypted())
                    socket->write(head.mid(*sent, 1));
            }
            *sent = std::min(*sent + 1, head.size() - 1);
        });
        trickle->start(1000);
    });
    if (!waitUntil([&] { return counts->ready == 200; }, std::chrono::seconds(30))) {
        state.SkipWithError("the idle connections did not open");
        return;
    }
    if (!goodClientUploads(state, stage.gemini, port, stage.request))
        return;
    memory.sampleDuring();
    state.counters["idle ones closed by the server"] = double(counts->closed);
    crowd.stop();
    pause(std::chrono::seconds(1));
    memory.report(state);
}
BENCHMARK(goodClientAmongIdleOnes)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(24);

// The good client's uploads while new connections pour in, five every 5 ms, each one of four kinds in turn: a TLS
// handshake that completes and is dropped, one that starts and is dropped, one that starts and then stays silent (the
// crowd keeps the last 800 of these open), and a TCP connection dropped at once.
void goodClientInAFlood(benchmark::State& state)
{
    Stage stage(state);
    if (!stage.server)
        return;
    ServerMemory memory(*stage.server);
    struct Counts
    {
        std::atomic<int> opened { 0 };
        std::atomic<int> handshakes { 0 };
    };
    auto counts = std::make_shared<Counts>();
    const quint16 port = stage.server->port;
    const double cpuBefore = stage.server->serverThreadCpuSeconds();
    const QElapsedTimer flooding = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    Crowd crowd([port, counts](QObject& home) {
        auto held = std::make_shared<std::deque<QPointer<QSslSocket>>>();
        auto* tick = new QTimer(&home);
        QObject::connect(tick, &QTimer::timeout, &home, [&home, port, counts, held] {
            for (int count = 0; count < 5; ++count) {
                const int kind = counts->opened++ % 4;
                auto* socket = new QSslSocket(&home);
                QObject::connect(socket, &QSslSocket::errorOccurred, socket, [socket] {
                    if (socket->state() == QAbstractSocket::UnconnectedState)
                        socket->deleteLater();
                });
                const auto drop = [socket] {
                    socket->flush();
                    socket->abort();
                    socket->deleteLater();
                };
                if (kind == 0) {
                    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
                    QObject::connect(socket, &QSslSocket::encrypted, socket, [counts, drop] {
                        ++counts->handshakes;
                        drop();
                    });
                    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
                    continue;
                }
                QObject::connect(socket, &QSslSocket::connected, socket, [socket, kind, drop, held] {
                    if (kind == 3)
                        return drop();
                    socket->write(clientHelloStart());
                    if (kind == 1)
                        return drop();
                    socket->flush();
                    held->push_back(socket);
                    if (held->size() > 800) {
                        if (QSslSocket* oldest = held->front())
                            oldest->deleteLater();
                        held->pop_front();
                    }
                });
                socket->connectToHost(QStringLiteral("127.0.0.1"), port);
            }
        });
        tick->start(5);
    });
    pause(std::chrono::seconds(1));
    if (!goodClientUploads(state, stage.gemini, port, stage.request))
        return;
    memory.sampleDuring();
    crowd.stop();
    state.counters["new connections/s"] = counts->opened * 1000.0 / double(flooding.elapsed());
    state.counters["server thread CPU ms per connection"]
        = (stage.server->serverThreadCpuSeconds() - cpuBefore) * 1000 / std::max(1, counts->opened.load());
    state.counters["handshakes completed"] = double(counts->handshakes);
    pause(std::chrono::seconds(1));
    memory.report(state);
}
BENCHMARK(goodClientInAFlood)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(24);

// The good client's uploads while another client sends uploads of exactly the largest size, one after the other: a
// multipart body whose file part is not audio, so that the server takes all 50 MiB and the flow turns it down without
// taking its turn from the good client. Before them, one byte more is refused as too large.
void goodClientBesideUploadsAtTheLimit(benchmark::State& state)
{
    Stage stage(state);
    if (!stage.server)
        return;
    ServerMemory memory(*stage.server);
    constexpr qint64 limit = HttpParser::bodyLimit;
    const QByteArray part = "--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.wav\"\r\n"
                            "Content-Type: audio/wav\r\n\r\n"
        + QByteArray(4096, 'n') + "\r\n";
    const QByteArray paddingHead = "--XyZ\r\nContent-Disposition: form-data; name=\"padding\"\r\n\r\n";
    const QByteArray end = "\r\n--XyZ--\r\n";
    const QByteArray body
        = part + paddingHead + QByteArray(limit - part.size() - paddingHead.size() - end.size(), 'p') + end;
    const QByteArray head = "POST /audio?t=" + token.toUtf8()
        + " HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=XyZ\r\nContent-Length: ";
    const QByteArray atTheLimit = head + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const QByteArray overTheLimit = head + QByteArray::number(limit + 1) + "\r\n\r\n";
    auto results = std::make_shared<LimitUploads::Results>();
    const quint16 port = stage.server->port;
    Crowd crowd([port, atTheLimit, overTheLimit, results](
                    QObject& home) { new LimitUploads(home, port, atTheLimit, overTheLimit, results); });
    if (!waitUntil([&] { return results->answered > 0 || results->wrongReplies > 0; }, std::chrono::seconds(60))) {
        state.SkipWithError("the first upload at the limit was not answered");
        return;
    }
    if (!goodClientUploads(state, stage.gemini, port, stage.request))
        return;
    memory.sampleDuring();
    crowd.stop();
    if (!results->refusedOverTheLimit || results->wrongReplies > 0) {
        state.SkipWithError("an upload over the limit was taken, or one at the limit was refused");
        return;
    }
    state.counters["uploads at the limit"] = double(results->answered);
    state.counters["upload at the limit ms"] = results->totalMs / results->answered;
    pause(std::chrono::seconds(1));
    memory.report(state);
}
BENCHMARK(goodClientBesideUploadsAtTheLimit)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(24);

// The good client's uploads while, round after round, 16 clients announce 8 MiB, send half of it and vanish. The
// server's memory is read after each round: what the vanished clients sent must go with them.
void goodClientWhileOthersVanish(benchmark::State& state)
{
    Stage stage(state);
    if (!stage.server)
        return;
    ServerMemory memory(*stage.server);
    constexpr int rounds = VanishingRounds::rounds;
    constexpr qint64 announced = 8 << 20;
    const QByteArray request = "POST /audio?t=" + token.toUtf8()
        + " HTTP/1.1\r\nContent-Type: audio/wav\r\nContent-Length: " + QByteArray::number(announced) + "\r\n\r\n"
        + QByteArray(announced / 2, 'v');
    auto progress = std::make_shared<VanishingRounds::Progress>();
    const quint16 port = stage.server->port;
    const qint64 pid = stage.server->pid();
    Crowd crowd(
        [port, pid, request, progress](QObject& home) { new VanishingRounds(home, port, pid, request, progress); });
    if (!goodClientUploads(state, stage.gemini, port, stage.request))
        return;
    memory.sampleDuring();
    if (!waitUntil([&] { return progress->done == rounds; }, std::chrono::seconds(60))) {
        state.SkipWithError("the rounds of vanishing clients did not finish");
        return;
    }
    crowd.stop();
    for (const int round : { 1, rounds / 2, rounds })
        state.counters["RSS after round " + std::to_string(round) + " MiB"] = progress->rssKiB[round - 1] / 1024;
    pause(std::chrono::seconds(1));
    memory.report(state);
}
BENCHMARK(goodClientWhileOthersVanish)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(24);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithQtApplication(argc, argv);
}

#include "bench_support.h"

#include "store/json_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace kavo::bench {

namespace {

QTemporaryDir& temporaryRoot()
{
    static QTemporaryDir root;
    return root;
}

void run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForFinished(300'000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return;
    std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAll().constData());
    std::exit(1);
}

const QStringList vocabulary {
    "salom",
    "bugun",
    "loyiha",
    "uchrashuv",
    "the",
    "deployment",
    "pipeline",
    "ertaga",
    "soat",
    "beshda",
    "please",
    "review",
    "pull",
    "request",
    "va",
    "keyin",
    "менга",
    "позвони",
    "после",
    "обеда",
    "Kubernetes",
    "cluster",
    "yangilash",
    "kerak",
    "hisobot",
    "tayyor",
    "bo'ldi",
    "check",
    "the",
    "logs",
};

} // namespace

QString useTemporaryDataFolder()
{
    static const QString data = [] {
        const QString path = temporaryRoot().filePath(QStringLiteral("data"));
        QDir().mkpath(path);
        qputenv("KAVO_DATA_DIR", path.toUtf8());
        return path;
    }();
    return data;
}

QString speechWav(int seconds)
{
    static QMap<int, QString> made;
    if (made.contains(seconds))
        return made.value(seconds);

    const QString sentence = QStringLiteral("Please send the quarterly report to the whole team by Friday afternoon. "
                                            "We will review the numbers together on Monday morning. ");
    // One take is the sentences followed by 0.8 s of silence, the pause of a speaker thinking; the take is
    // repeated up to the length asked for.
    const QString folder = temporaryRoot().filePath(QStringLiteral("speech-%1").arg(seconds));
    QDir().mkpath(folder);
    const QString spoken = folder + QStringLiteral("/spoken.wav");
    const QString take = folder + QStringLiteral("/take.wav");
    const QString path = folder + QStringLiteral("/speech.wav");
    const QStringList quiet { QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
        QStringLiteral("-y") };
    const QStringList recordingFormat { QStringLiteral("-ar"), QStringLiteral("16000"), QStringLiteral("-ac"),
        QStringLiteral("1"), QStringLiteral("-c:a"), QStringLiteral("pcm_s16le") };
    run(QStringLiteral("espeak-ng"), { QStringLiteral("-w"), spoken, QStringLiteral("--"), sentence });
    run(QStringLiteral("ffmpeg"),
        quiet + QStringList { QStringLiteral("-i"), spoken, QStringLiteral("-af"), QStringLiteral("apad=pad_dur=0.8") }
            + recordingFormat + QStringList { take });
    run(QStringLiteral("ffmpeg"),
        quiet
            + QStringList { QStringLiteral("-stream_loop"), QStringLiteral("-1"), QStringLiteral("-i"), take,
                QStringLiteral("-t"), QString::number(seconds) }
            + recordingFormat + QStringList { path });
    made.insert(seconds, path);
    return path;
}

double statusKiB(const QByteArray& key, qint64 pid)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(key + ':')))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toDouble();
    }
    return -1;
}

HistoryEntry realisticEntry(QRandomGenerator& random, const QDateTime& date)
{
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = date;
    const int words = random.bounded(30, 61);
    QStringList text;
    for (int index = 0; index < words; ++index)
        text.append(vocabulary.at(random.bounded(vocabulary.size())));
    entry.text = text.join(' ') + '.';
    entry.duration = random.bounded(40.0);
    entry.model = "gemini-3.8-flash";
    entry.source = random.bounded(4) == 0 ? "phone" : "mac";
    entry.appName = "Telegram";
    entry.appID = "org.telegram.desktop";
    entry.audioFile = json::uuidText(entry.id) + ".m4a";
    entry.latency = random.bounded(3.0);
    return entry;
}

History fullHistory()
{
    QRandomGenerator random(1234);
    History history;
    const QDateTime newest = QDateTime::currentDateTimeUtc();
    for (int index = 0; index < History::limit; ++index)
        history.entries.append(realisticEntry(random, newest.addSecs(-600 * index)));
    return history;
}

int runWithQtApplication(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kavo::bench

#include "notes/notes_store.h"
#include "store/config.h"
#include "store/data_stores.h"
#include "store/history.h"
#include "store/log.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <csignal>

using namespace kavo;

namespace {

// The round a saved text names ("round 12"), or 0.
qint64 roundOf(const QString& text)
{
    return text.section(u' ', 1).toLongLong();
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A start removes what saves cut short left beside the data files, and only that.
    void startRemovesUnfinishedSaves()
    {
        const QDir folder(test::useTemporaryDataFolder());
        test::emptyDataFolder();
        Log::reset();
        const QStringList companions { "config.json.Ab3xYz", "history.json.q1W2e3", "notes.json.ZLAXtC" };
        const QStringList others { "notes.json.broken-2026-12-07-101500", "notes.json.Ab3x", "photo.jpg.Ab3xYz" };
        for (const QString& name : companions + others)
            test::writeFile(folder.filePath(name), "{");
        DataStores stores;
        stores.load();
        for (const QString& name : companions)
            QVERIFY2(!folder.exists(name), qPrintable(name));
        for (const QString& name : others)
            QVERIFY2(folder.exists(name), qPrintable(name));
        QCOMPARE(test::logText().count(u"removed the unfinished save "_qs), companions.size());
    }

    // Killed at any moment while it saves, the program leaves each of its three files whole: the version before the
    // save or the one after, never a torn or an older one, and nothing else in the data folder.
    void killedWhileSaving()
    {
        const QString folder = test::useTemporaryDataFolder();
        test::emptyDataFolder();
        QRandomGenerator random(20261207);
        qint64 settingsRound = 0, historyRound = 0, notesRound = 0;
        for (int kill = 0; kill < 30; ++kill) {
            QProcess saver;
            saver.start(QStringLiteral(KAVO_SAVE_LOOP));
            QVERIFY(saver.waitForStarted());
            QTest::qWait(int(random.bounded(30, 150)));
            ::kill(pid_t(saver.processId()), SIGKILL);
            QVERIFY(saver.waitForFinished());

            // A file not written yet is the version before the first save.
            if (QFile::exists(Config::filePath())) {
                const std::optional<Config> config = Config::decode(test::readFile(Config::filePath()));
                QVERIFY(config);
                QCOMPARE_GE(roundOf(config->prompt), settingsRound);
                settingsRound = roundOf(config->prompt);
            }
            if (QFile::exists(History::filePath())) {
                const std::optional<History> history = History::decode(test::readFile(History::filePath()));
                QVERIFY(history);
                // Between the removal of one round's entry and the addition of the next, History is empty.
                if (!history->entries.isEmpty()) {
                    QCOMPARE_GE(roundOf(history->entries.constFirst().text), historyRound);
                    historyRound = roundOf(history->entries.constFirst().text);
                }
            }
            if (QFile::exists(NotesStore::filePath())) {
                const std::optional<NotesStore> notes = NotesStore::decode(test::readFile(NotesStore::filePath()));
                QVERIFY(notes);
                qint64 newest = 0;
                for (const Note& note : notes->notes)
                    newest = std::max(newest, roundOf(note.body));
                QCOMPARE_GE(newest, notesRound);
                notesRound = newest;
            }
            // A save cut short may leave its companion file, which the next start removes.
            const QStringList made = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            const QRegularExpression expected(u"^((config|history|notes)\\.json(\\.[A-Za-z0-9]{6})?|kavo\\.log)$"_qs);
            QVERIFY2(std::all_of(made.begin(), made.end(),
                         [&](const QString& name) { return expected.match(name).hasMatch(); }),
                qPrintable(made.join(u", ")));
        }
        DataStores stores;
        stores.load();
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(std::none_of(left.begin(), left.end(), [](const QString& name) { return name.count(u'.') > 1; }),
            qPrintable(left.join(u", ")));
        // The kills fell on running saves, not only on starting programs.
        QVERIFY2(settingsRound > 30 && historyRound > 30 && notesRound > 30,
            qPrintable(u"rounds %1, %2, %3"_qs.arg(settingsRound).arg(historyRound).arg(notesRound)));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"

#include "notes/notes_store.h"
#include "store/config.h"
#include "store/history.h"
#include "support/data_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
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
    // Killed at any moment while it saves, the program leaves each of its three files whole: the version before the
    // save or the one after, never a torn or an older one, and nothing else in the data folder.
    void killedWhileSaving()
    {
        const QString folder = test::useTemporaryDataFolder();
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
            const QStringList made = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            const QStringList known { "config.json", "history.json", "kavo.log", "notes.json" };
            QVERIFY2(std::all_of(made.begin(), made.end(), [&](const QString& name) { return known.contains(name); }),
                qPrintable(made.join(u", ")));
        }
        // The kills fell on running saves, not only on starting programs.
        QVERIFY2(settingsRound > 30 && historyRound > 30 && notesRound > 30,
            qPrintable(u"rounds %1, %2, %3"_qs.arg(settingsRound).arg(historyRound).arg(notesRound)));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"

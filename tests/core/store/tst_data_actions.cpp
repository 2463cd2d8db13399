#include "store/data_actions.h"

#include "store/log.h"
#include "support/command_runner.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kavo;
using test::row;

namespace {

// What the unzip program, a reader of its own, finds in an archive: the names, or one entry's bytes.
QByteArray unzip(const QStringList& arguments)
{
    QProcess process;
    process.start("unzip", arguments);
    process.waitForFinished(30'000);
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray("<unzip failed>");
}

QStringList words(const QList<VocabularyWord>& vocabulary)
{
    QStringList result;
    for (const VocabularyWord& word : vocabulary)
        result << word.word;
    return result;
}

VocabularyWord word(const QString& text)
{
    return { QUuid::createUuid(), text, QString() };
}

} // namespace

class TestDataActions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_chosen; // where the user's file chooser points

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { test::emptyDataFolder(); }

    // A fresh installation exports all three files, the History and the starter notes saved for it; a file in the way
    // is replaced, nothing else is left beside it, and a place that cannot be written is logged.
    void exportAll()
    {
        DataStores stores;
        stores.load();
        stores.settings.setVocabulary({ word("Kavo") });
        DataActions actions(stores);
        const QString archive = m_chosen.filePath(DataActions::archiveName(QDate(2026, 12, 7)));
        QCOMPARE(QFileInfo(archive).fileName(), "kavo-voice-2026-12-07.zip");
        test::writeFile(archive, "an older file");

        QCOMPARE(actions.exportAll(archive), std::optional<QString>("kavo-voice-2026-12-07.zip"));
        QCOMPARE(unzip({ "-Z1", archive }),
            "kavo-voice/\nkavo-voice/vocabulary.json\nkavo-voice/history.json\nkavo-voice/notes.json\n");
        const QJsonObject vocabulary
            = QJsonDocument::fromJson(unzip({ "-p", archive, "kavo-voice/vocabulary.json" })).object();
        QCOMPARE(vocabulary.keys(), QStringList({ "snippets", "vocabulary" }));
        QCOMPARE(vocabulary["vocabulary"][0]["word"].toString(), "Kavo");
        QCOMPARE(unzip({ "-p", archive, "kavo-voice/notes.json" }), test::readFile(NotesStore::filePath()));
        QVERIFY(NotesStore::decode(test::readFile(NotesStore::filePath()))->folders.size() == 2);

        QCOMPARE(QDir(m_chosen.path()).entryList({ "kavo-voice*" }, QDir::Files | QDir::Hidden),
            QStringList({ "kavo-voice-2026-12-07.zip" })); // no working file left beside it
        test::writeFile(m_chosen.filePath("a-file"), "");
        QCOMPARE(actions.exportAll(m_chosen.filePath("a-file/all.zip")), std::nullopt);
        Log::flush();
        QVERIFY(test::logText().contains("export failed: "));
    }

    // Imported words go first, in the file's order, each once; words already there are left out.
    void importWords_data()
    {
        test::columns<QByteArray, QStringList, int>({ "file", "vocabulary", "added" });
        row("new words first", QByteArray("Toshkent\nKavo\nSamarqand,uz\n"),
            QStringList { "Toshkent", "Samarqand", "Kavo" }, 2);
        row("all known", QByteArray("kavo\n"), QStringList { "Kavo" }, 0);
        row("twice in the file", QByteArray("Buxoro\nbuxoro\n"), QStringList { "Buxoro", "Kavo" }, 1);
    }

    void importWords()
    {
        const auto [file, vocabulary, added]
            = test::fetch<QByteArray, QStringList, int>({ "file", "vocabulary", "added" });
        DataStores stores;
        stores.load();
        stores.settings.setVocabulary({ word("Kavo") });
        DataActions actions(stores);
        const QString path = m_chosen.filePath("import.txt");
        test::writeFile(path, file);
        QCOMPARE(actions.importWords(path), std::optional(added));
        QCOMPARE(words(stores.settings.vocabulary()), vocabulary);
        QCOMPARE(actions.importWords(m_chosen.filePath("missing.txt")), std::nullopt);
    }

    void exportWordsReadsBack()
    {
        DataStores stores;
        stores.load();
        stores.settings.setVocabulary({ word("Kavo"), { QUuid::createUuid(), "Привет", "ru" } });
        DataActions actions(stores);
        const QString path = m_chosen.filePath(DataActions::wordListName());
        QCOMPARE(actions.exportWords(path), std::optional<QString>("lugat.txt"));
        QCOMPARE(test::readFile(path), "Kavo\nПривет,ru\n");
        QCOMPARE(actions.exportWords(m_chosen.filePath("no/such/folder/lugat.txt")), std::nullopt);
    }

    // A wipe leaves the starter notes, no History, recordings, vocabulary or snippets, and the other settings.
    void wipeKeepsTheSettings()
    {
        DataStores stores;
        stores.load();
        stores.settings.setApiKey("key-1");
        stores.settings.setVocabulary({ word("Kavo") });
        stores.settings.setSnippets({ Snippet { QUuid::createUuid(), "addr", "Toshkent" } });
        HistoryEntry entry;
        entry.id = QUuid::createUuid();
        entry.date = QDateTime::currentDateTimeUtc();
        entry.audioFile = "kept.wav";
        test::writeFile(QDir(Config::audioDirectory()).filePath("kept.wav"), "RIFF");
        stores.history.change([&](History& history) { history.add(entry); });
        stores.notes.change([](NotesStore& store) { store.draft(store.folders.first().id); });

        DataActions(stores).wipe();
        QVERIFY(stores.history.entries().isEmpty() && History::load().entries.isEmpty());
        QVERIFY(!QDir(Config::audioDirectory()).exists());
        const NotesStore saved = NotesStore::load();
        QVERIFY(saved.notes.isEmpty() && saved.folders.size() == 2 && stores.notes.store().notes.isEmpty());
        QVERIFY(stores.settings.vocabulary().isEmpty() && stores.settings.snippets().isEmpty());
        QCOMPARE(stores.settings.apiKey(), "key-1");
    }
};

QTEST_GUILESS_MAIN(TestDataActions)
#include "tst_data_actions.moc"

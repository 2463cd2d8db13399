#include "support/data_folder.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <QJsonDocument>
#include <QTest>

using namespace kavo;

namespace {

template <typename... Values> void row(const char* name, const Values&... values)
{
    (QTest::newRow(name) << ... << values);
}

QJsonObject object(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).object();
}

const QString a79(79, u'a');
const QString emptyContextTail = u"Existing folders: []\nRecent notes, newest first: []"_qs;

} // namespace

class NoteFilerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void readsReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("text");
        row("all fields", R"({"text":" Hello there.\n","kind":"tasks","title":"Groceries","folder":"Home"})", "tasks",
            "Groceries", "Home", "Hello there.");
        row("capital kind", R"({"kind":"Meeting","title":"Standup"})", "meeting", "Standup", "", "");
        row("unknown kind", R"({"kind":"recipe","title":"Soup"})", "note", "Soup", "", "");
        row("kind not a string", R"({"kind":1,"title":2,"folder":null})", "note", "", "", "");
        row("empty object", "{}", "note", "", "", "");
        row("typographic quotes and full stop", "{\"title\":\" \u201CBudget review.\u201D \"}", "note", "Budget review",
            "", "");
        row("guillemets", "{\"folder\":\"\u00AB\u00ABIshxona\u00BB\"}", "note", "", "Ishxona", "");
        row("ellipsis", "{\"title\":\"\\\"Plans for May...\\\"\\t\"}", "note", "Plans for May", "", "");
        row("inner full stop stays", R"({"title":"v2.1 release"})", "note", "v2.1 release", "", "");
        row("two lines", R"({"title":"Budget\nreview"})", "note", "Budget review", "", "");
        row("run of line breaks", R"({"title":"Budget\r\n\r\nreview\u2028"})", "note", "Budget review", "", "");
        row("title of 100 cut to 80", uR"({"title":"%1"})"_qs.arg(QString(100, u'x')), "note", QString(80, u'x'), "",
            "");
        row("folder of 50 cut to 40", uR"({"folder":"%1"})"_qs.arg(QString(50, u'y')), "note", "", QString(40, u'y'),
            "");
        // Characters as the user sees them: an accent joined to its letter, an emoji of two UTF-16 units.
        row("accent counts once", uR"({"title":"%1e\u0301x"})"_qs.arg(a79), "note", a79 + u"e\u0301"_qs, "", "");
        row("emoji kept whole", uR"({"title":"%1\uD83D\uDE00\uD83D\uDE00"})"_qs.arg(a79), "note",
            a79 + u"\U0001F600"_qs, "", "");
    }

    void readsReplies()
    {
        QFETCH(QString, reply);
        const NoteFiler::Reply read = NoteFiler::reply(reply);
        QTEST(rawValue(read.result.kind), "kind");
        QTEST(read.result.topic, "topic");
        QTEST(read.result.folder, "folder");
        QTEST(read.text, "text");
    }

    // Text that is not JSON passes the parser's error on; JSON of any other shape than an object is a bad reply.
    void rejectsReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("isJson");
        row("prose", "Sure! Here is the note.", false);
        row("empty", "", false);
        row("truncated object", R"({"kind":"idea")", false);
        row("array", R"([{"kind":"idea"}])", true);
        row("string", R"("idea")", true);
        row("null", " null ", true);
    }

    void rejectsReplies()
    {
        QFETCH(QString, reply);
        QFETCH(bool, isJson);
        try {
            NoteFiler::reply(reply);
            QFAIL("the reply was accepted");
        } catch (const GeminiError& error) {
            QVERIFY(isJson);
            QCOMPARE(error.kind(), GeminiError::Kind::badResponse);
            QCOMPARE(error.detail(), u"not a JSON object"_qs);
        } catch (const JsonError& error) {
            QVERIFY(!isJson);
            QVERIFY(!error.message().isEmpty());
        }
    }

    void rules()
    {
        const QString rules = NoteFiler::classificationRules;
        QCOMPARE(rules.toUtf8().size(), 581);
        QVERIFY(rules.startsWith(u"kind: \"meeting\" for notes from a meeting or a call; \"tasks\""_qs));
        QVERIFY(rules.contains(u"full stop: the app adds those.\nfolder: the existing folder"_qs));

        const QString empty = NoteFiler::rules({});
        QVERIFY(empty.endsWith(emptyContextTail));
        QCOMPARE(empty, QString(rules + u"[]\nRecent notes, newest first: []"_qs));

        const NoteFiler::Context one { { u"Ish \"A\""_qs }, { { u"Standup · Dec 4"_qs, u"Ish \"A\""_qs } } };
        QCOMPARE(NoteFiler::rules(one),
            QString(rules + u"[\"Ish \\\"A\\\"\"]"_qs + u"\nRecent notes, newest first: "_qs
                + u"[{\"folder\":\"Ish \\\"A\\\"\",\"title\":\"Standup · Dec 4\"}]"_qs));

        const NoteFiler::Context two { { u"Work"_qs, u"Home"_qs }, {} };
        QVERIFY(
            NoteFiler::rules(two).endsWith(u"Existing folders: [\"Work\",\"Home\"]\nRecent notes, newest first: []"));
    }

    void textPrompt()
    {
        QCOMPARE(NoteFiler::textPrompt(u"Buy milk."_qs, {}),
            QString(u"The user dictated a note. Reply with one JSON object.\n\n"_qs + NoteFiler::classificationRules
                + u"[]\nRecent notes, newest first: []\n\nThe note:\nBuy milk."_qs));
    }

    void schema_data()
    {
        QTest::addColumn<bool>("transcript");
        QTest::addColumn<QJsonObject>("schema");
        const QByteArray common = R"("kind":{"type":"STRING","enum":["meeting","tasks","journal","idea","note"]},)"
                                  R"("title":{"type":"STRING"},"folder":{"type":"STRING"})";
        row("with transcript", true,
            object(R"({"type":"OBJECT","properties":{"text":{"type":"STRING"},)" + common
                + R"(},"required":["text","kind","title","folder"],)"
                + R"("propertyOrdering":["text","kind","title","folder"]})"));
        row("without transcript", false,
            object(R"({"type":"OBJECT","properties":{)" + common
                + R"(},"required":["kind","title","folder"],"propertyOrdering":["kind","title","folder"]})"));
    }

    void schema()
    {
        QFETCH(bool, transcript);
        QFETCH(QJsonObject, schema);
        QVERIFY(!schema.isEmpty());
        QCOMPARE(NoteFiler::schema(transcript), schema);
    }

    void titles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<int>("number"); // 0: none
        QTest::addColumn<QString>("title");
        row("meeting", "meeting", "Standup", 3, "Meeting 3 · Dec 4");
        row("meeting without number", "meeting", "", 0, "Meeting 1 · Dec 4");
        row("tasks", "tasks", "Groceries", 0, "Tasks · Dec 4");
        row("journal", "journal", "My day", 0, "Journal · Dec 4");
        row("idea", "idea", "Solar roof", 0, "Idea: Solar roof");
        row("idea without topic", "idea", "", 0, "Idea");
        row("note", "note", "Budget review", 0, "Budget review");
    }

    void titles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, topic);
        QFETCH(int, number);
        const QDateTime date(QDate(2024, 12, 4), QTime(12, 0));
        const auto given = number ? std::optional(number) : std::nullopt;
        QTEST(NoteFiler::title(*fromRawValue<NoteFiler::Kind>(kind), topic, given, date), "title");
    }

    void folders()
    {
        const QList<NoteFolder> folders { { QUuid::createUuid(), u"Ideas"_qs }, { QUuid::createUuid(), u"work "_qs },
            { QUuid::createUuid(), u"Work"_qs } };
        QCOMPARE(NoteFiler::folder(u"\tWORK"_qs, folders), std::optional(folders[1]));
        QVERIFY(!NoteFiler::folder(u"Works"_qs, folders));
    }
};

QTEST_GUILESS_MAIN(NoteFilerTest)
#include "tst_note_filer.moc"

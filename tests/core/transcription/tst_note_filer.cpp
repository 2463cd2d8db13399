#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <QJsonDocument>
#include <QTest>

using namespace kavo;
using kavo::test::row;

namespace {

// JSON written with single quotes, so rows stay short and readable.
QString j(const QString& text)
{
    return QString(text).replace(u'\'', u'"');
}

const QString a79(79, u'a');

} // namespace

class NoteFilerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    // A read reply as "kind|topic|folder|text"; "bad:detail" for JSON that is not an object, "json" for no JSON.
    void reply_data()
    {
        test::columns<QString, QString>({ "reply", "read" });
        row("all fields", j("{'text':' Hi.\\n','kind':'tasks','title':'Milk','folder':'Home'}"), "tasks|Milk|Home|Hi.");
        row("capital kind", j("{'kind':'Meeting','title':'Standup'}"), "meeting|Standup||");
        row("unknown kind", j("{'kind':'recipe','title':'Soup'}"), "note|Soup||");
        row("values of other types", j("{'kind':1,'title':2,'folder':null,'text':3}"), "note|||");
        row("typographic quotes, full stop", j("{'title':' \\u201CBudget review.\\u201D '}"), "note|Budget review||");
        row("guillemets", j("{'folder':'\\u00AB\\u00ABIsh\\u00BB'}"), "note||Ish|");
        row("quotes, ellipsis, tab", j("{'title':'\\'Plans for May...\\'\\t'}"), "note|Plans for May||");
        row("inner full stop stays", j("{'title':'v2.1 release'}"), "note|v2.1 release||");
        row("run of line breaks", j("{'title':'Budget\\r\\n\\r\\nreview\\u2028'}"), "note|Budget review||");
        row("title of 100, folder of 50", j("{'title':'%1','folder':'%2'}").arg(QString(100, u'x'), QString(50, u'y')),
            u"note|%1|%2|"_qs.arg(QString(80, u'x'), QString(40, u'y')));
        // Characters as the user sees them: an accent joined to its letter, an emoji of two UTF-16 units.
        row("accent counts once", j("{'title':'%1e\\u0301x'}").arg(a79), u"note|"_qs + a79 + u"e\u0301||"_qs);
        row("emoji kept whole", j("{'title':'%1\\uD83D\\uDE00x'}").arg(a79), u"note|"_qs + a79 + u"\U0001F600||"_qs);
        row("truncated object", j("{'kind':'idea'"), "json");
        row("array", j("[{'kind':'idea'}]"), "bad:not a JSON object");
        row("null", " null ", "bad:not a JSON object");
    }
    void reply()
    {
        QFETCH(QString, reply);
        QString read;
        try {
            const NoteFiler::Reply r = NoteFiler::reply(reply);
            read = QStringList { rawValue(r.result.kind), r.result.topic, r.result.folder, r.text }.join(u'|');
        } catch (const GeminiError& error) {
            read = (error.kind() == GeminiError::Kind::badResponse ? u"bad:"_qs : u"other:"_qs) + error.detail();
        } catch (const JsonError&) {
            read = u"json"_qs;
        }
        QTEST(read, "read");
    }

    // The rules themselves are in the instructions of a note, in tst_transcription_prompt.
    void textPrompt()
    {
        QCOMPARE(NoteFiler::textPrompt(u"Buy milk."_qs, { { u"Ish \"A\""_qs }, {} }),
            u"The user dictated a note. Reply with one JSON object.\n\n"_qs + NoteFiler::classificationRules
                + j("['Ish \\'A\\'']\nRecent notes, newest first: []\n\nThe note:\nBuy milk."));
    }

    void schema()
    {
        const auto compact = [](bool transcript) {
            return QString::fromUtf8(QJsonDocument(NoteFiler::schema(transcript)).toJson(QJsonDocument::Compact));
        };
        const QString schema
            = j("{'properties':{'folder':{'type':'STRING'},'kind':{'enum':['meeting','tasks','journal',"
                "'idea','note'],'type':'STRING'},%1'title':{'type':'STRING'}},"
                "'propertyOrdering':[%2],'required':[%2],'type':'OBJECT'}");
        QCOMPARE(compact(false), schema.arg(QString(), j("'kind','title','folder'")));
        QCOMPARE(compact(true), schema.arg(j("'text':{'type':'STRING'},"), j("'text','kind','title','folder'")));
    }

    void titles_data()
    {
        test::columns<QString, QString, int, QString>({ "kind", "topic", "number", "title" }); // number 0: none
        row("meeting", "meeting", "Standup", 3, "Meeting 3 \u00B7 Dec 4");
        row("meeting without number", "meeting", "", 0, "Meeting 1 \u00B7 Dec 4");
        row("tasks", "tasks", "Groceries", 0, "Tasks \u00B7 Dec 4");
        row("journal", "journal", "My day", 0, "Journal \u00B7 Dec 4");
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

#include "support/data_folder.h"
#include "support/fake_gemini.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kavo;
using namespace std::chrono_literals;
using test::FakeGemini;

class TestFakeGemini : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeGemini> m_fake;
    std::unique_ptr<QNetworkAccessManager> m_network;

    QNetworkReply* get(const QString& path)
    {
        return m_network->get(QNetworkRequest(m_fake->baseUrl().resolved(QUrl(path))));
    }

    static bool finishes(QNetworkReply* reply)
    {
        QSignalSpy finished(reply, &QNetworkReply::finished);
        return reply->isFinished() || finished.wait(20000);
    }

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void init()
    {
        m_fake = std::make_unique<FakeGemini>();
        QVERIFY(m_fake->start());
        QVERIFY(m_fake->port() != 0);
        m_network = std::make_unique<QNetworkAccessManager>();
    }

    void cleanup()
    {
        m_network.reset();
        m_fake.reset();
    }

    void postIsRecordedExactly()
    {
        QSignalSpy received(m_fake.get(), &FakeGemini::requestReceived);
        m_fake->enqueue(FakeGemini::text(QStringLiteral("salom")));
        QNetworkRequest request(
            m_fake->baseUrl().resolved(QUrl(QStringLiteral("/v1beta/models/gemini-3.8-flash:generateContent?x=1"))));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader("x-goog-api-key", "key-123");
        const QByteArray body = R"({"contents":[{"role":"user","parts":[{"text":"Oʻzbek ✓"}]}]})";
        QNetworkReply* reply = m_network->post(request, body);
        QVERIFY(finishes(reply));

        QCOMPARE(reply->error(), QNetworkReply::NoError);
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        QCOMPARE(answer[u"candidates"][0][u"content"][u"parts"][0][u"text"].toString(), QStringLiteral("salom"));
        QCOMPARE(answer[u"candidates"][0][u"finishReason"].toString(), QStringLiteral("STOP"));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first().first().toInt(), 0);
        const QList<FakeGemini::Request> requests = m_fake->requests();
        QCOMPARE(requests.size(), 1);
        const FakeGemini::Request& seen = requests.first();
        QCOMPARE(seen.method, QByteArrayLiteral("POST"));
        QCOMPARE(seen.path, QByteArrayLiteral("/v1beta/models/gemini-3.8-flash:generateContent?x=1"));
        QCOMPARE(seen.header("X-Goog-Api-Key"), QByteArrayLiteral("key-123"));
        QCOMPARE(seen.header("content-type"), QByteArrayLiteral("application/json"));
        QCOMPARE(seen.header("absent"), QByteArray());
        QCOMPARE(seen.body, body);
        QCOMPARE(seen.json()[u"contents"][0][u"parts"][0][u"text"].toString(), QStringLiteral("Oʻzbek ✓"));
    }

    void scriptedReplies_data()
    {
        QTest::addColumn<FakeGemini::Reply>("scripted");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");

        QTest::newRow("interaction") << FakeGemini::interaction(QStringLiteral("bir ikki")) << "steps/0/content/0/text"
                                     << "bir ikki";
        QTest::newRow("error") << FakeGemini::error(429, QStringLiteral("Quota exceeded")) << "error/message"
                               << "Quota exceeded";
        QTest::newRow("error status") << FakeGemini::error(503, QStringLiteral("Overloaded")) << "error/status"
                                      << "UNAVAILABLE";
        QTest::newRow("models") << FakeGemini::models({ QStringLiteral("gemini-3.8-flash") }) << "models/0/name"
                                << "models/gemini-3.8-flash";
        QTest::newRow("plain text") << FakeGemini::Reply {
            .status = 502, .body = "bad gateway", .contentType = "text/plain"
        } << QString() << "bad gateway";
    }

    void scriptedReplies()
    {
        QFETCH(FakeGemini::Reply, scripted);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        m_fake->enqueue(scripted);
        QNetworkReply* reply = get(QStringLiteral("/v1beta/models?pageSize=200"));
        QVERIFY(finishes(reply));

        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), scripted.status);
        QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), scripted.contentType);
        const QByteArray body = reply->readAll();
        QCOMPARE(body, scripted.body);
        if (field.isEmpty())
            return;
        QJsonValue value = QJsonDocument::fromJson(body).object();
        for (const QString& step : field.split(u'/')) {
            bool isIndex = false;
            const int index = step.toInt(&isIndex);
            value = isIndex ? value.toArray().at(index) : value.toObject().value(step);
        }
        QCOMPARE(value.toString(), expected);
    }

    void repliesComeInOrderOverOneConnection()
    {
        m_fake->enqueue(FakeGemini::error(503, QStringLiteral("first")));
        m_fake->enqueue(FakeGemini::text(QStringLiteral("second")));
        QCOMPARE(m_fake->pendingReplies(), 2);
        QNetworkReply* first = get(QStringLiteral("/one"));
        QVERIFY(finishes(first));
        QNetworkReply* second = get(QStringLiteral("/two"));
        QVERIFY(finishes(second));

        QCOMPARE(first->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 503);
        QVERIFY(first->readAll().contains("first"));
        QCOMPARE(second->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY(second->readAll().contains("second"));
        QCOMPARE(m_fake->pendingReplies(), 0);
        QCOMPARE(m_fake->requests().size(), 2);
        QCOMPARE(m_fake->requests().at(1).path, QByteArrayLiteral("/two"));
        QCOMPARE(m_fake->connectionCount(), 1);
    }

    void delayIsHonouredWithoutBlocking()
    {
        m_fake->enqueue({ .body = "slow", .delay = 400ms });
        m_fake->enqueue({ .body = "fast" });
        QSignalSpy received(m_fake.get(), &FakeGemini::requestReceived);
        QElapsedTimer clock;
        clock.start();
        QNetworkReply* slow = get(QStringLiteral("/slow"));
        QVERIFY(received.wait(20000));
        QNetworkReply* fast = get(QStringLiteral("/fast"));
        QVERIFY(finishes(fast));
        QCOMPARE(fast->readAll(), QByteArrayLiteral("fast"));
        QVERIFY(!slow->isFinished());
        QVERIFY(finishes(slow));
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(slow->readAll(), QByteArrayLiteral("slow"));
    }

    void droppedConnectionIsANetworkError_data()
    {
        QTest::addColumn<bool>("reused");
        QTest::newRow("new connection") << false;
        QTest::newRow("kept-alive connection") << true;
    }

    void droppedConnectionIsANetworkError()
    {
        QFETCH(bool, reused);
        if (reused) {
            m_fake->enqueue(FakeGemini::text(QStringLiteral("warm")));
            QVERIFY(finishes(get(QStringLiteral("/warm"))));
        }
        const qsizetype before = m_fake->requests().size();
        // The network stack sends a request once more when its connection closes before any answer, so a transport
        // failure takes two drops; the reply after them must stay in the script.
        m_fake->enqueue(FakeGemini::dropped());
        m_fake->enqueue(FakeGemini::dropped());
        m_fake->enqueue(FakeGemini::text(QStringLiteral("too late")));
        QNetworkReply* reply = get(QStringLiteral("/drop"));
        QVERIFY(finishes(reply));
        QCOMPARE(reply->error(), QNetworkReply::RemoteHostClosedError);
        QCOMPARE(m_fake->requests().size() - before, 2);
        QCOMPARE(m_fake->pendingReplies(), 1);
    }

    void emptyScriptAnswers500()
    {
        QNetworkReply* reply = get(QStringLiteral("/forgotten"));
        QVERIFY(finishes(reply));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
        const QJsonObject error = QJsonDocument::fromJson(reply->readAll()).object()[u"error"].toObject();
        QCOMPARE(error[u"code"].toInt(), 500);
        QVERIFY(error[u"message"].toString().contains(QStringLiteral("no scripted reply")));
    }
};

QTEST_GUILESS_MAIN(TestFakeGemini)
#include "tst_fake_gemini.moc"

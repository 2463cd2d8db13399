#include "apps/application_id.h"
#include "platform/dbus/remote_client.h"
#include "platform/dbus/remote_control.h"
#include "platform/dbus/single_instance.h"
#include "support/remote_requests.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

using namespace kavo;

namespace {

// A connection of its own stands for another program: its calls go through the bus, not straight to the object.
const QString otherProgram = QStringLiteral("other program");

QDBusConnection other()
{
    return QDBusConnection(otherProgram);
}

QString nameOwner()
{
    const QDBusReply<QString> owner = QDBusConnection::sessionBus().interface()->serviceOwner(applicationID);
    return owner.isValid() ? owner.value() : QString();
}

} // namespace

class TestRemoteControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QVERIFY(QDBusConnection::connectToBus(QDBusConnection::SessionBus, otherProgram).isConnected());
    }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(otherProgram); }

    // Each test starts with the name free: the remote control of the one before gives it back as it goes.
    void init() { QTRY_COMPARE(nameOwner(), QString()); }

    // The names are what desktop shortcuts and scripts call, each row's name the method's; the client sends the same.
    void methods_data()
    {
        test::columns<RemoteRequest, QString>({ "request", "announced" });
        test::row("Toggle", RemoteRequest::toggle, QString("toggle"));
        test::row("Start", RemoteRequest::start, QString("start"));
        test::row("Stop", RemoteRequest::stop, QString("stop"));
        test::row("Cancel", RemoteRequest::cancel, QString("cancel"));
        test::row("ShowWindow", RemoteRequest::showWindow, QString("showWindow"));
    }

    void methods()
    {
        const auto [request, announced] = test::fetch<RemoteRequest, QString>({ "request", "announced" });
        QStringList requests;
        RemoteControl control(QDBusConnection::sessionBus());
        test::recordRequests(control, requests);
        QVERIFY(QCoro::waitFor(control.claim()));
        const QDBusPendingCall call = other().asyncCall(QDBusMessage::createMethodCall(
            "uz.kavo.KavoVoice", "/uz/kavo/KavoVoice", "uz.kavo.KavoVoice", QTest::currentDataTag()));
        QVERIFY(QTest::qWaitFor([&] { return call.isFinished(); }));
        QVERIFY2(!call.isError(), qPrintable(call.error().message()));
        QCOMPARE(QCoro::waitFor(RemoteClient::send(other(), request)), QString());
        QCOMPARE(requests, QStringList({ announced, announced }));
    }

    // A remote control that goes while the bus decides gives back the name it is granted. (The bus may have
    // answered before the claim returned; then the claim stands and the control gives the name back as it goes.)
    void goneWhileClaiming()
    {
        auto control = std::make_unique<RemoteControl>(QDBusConnection::sessionBus());
        QCoro::Task<bool> claim = control->claim();
        const bool answered = claim.isReady();
        control.reset();
        QCOMPARE(QCoro::waitFor(std::move(claim)), answered);
        QTRY_COMPARE(nameOwner(), QString());
    }

    // The first start claims the name; a second one cannot, withdraws its object and asks the first to show its
    // window.
    void startingAnInstance_data()
    {
        test::columns<bool>({ "firstRuns" });
        test::row("no instance runs", false);
        test::row("another instance runs", true);
    }

    void startingAnInstance()
    {
        QFETCH(bool, firstRuns);
        QStringList requests;
        RemoteControl first(QDBusConnection::sessionBus());
        test::recordRequests(first, requests);
        if (firstRuns) {
            QVERIFY(QCoro::waitFor(first.claim()));
            RemoteControl second(other());
            QVERIFY(!QCoro::waitFor(second.claim()));
            QVERIFY(!other().objectRegisteredAt(RemoteControl::objectPath));
        }

        const InstanceStart start = QCoro::waitFor(startInstance(other()));
        QCOMPARE(start.error, QString());
        QCOMPARE(start.otherInstanceRuns, firstRuns);
        QCOMPARE(start.remoteControl != nullptr, !firstRuns);
        QCOMPARE(other().objectRegisteredAt(RemoteControl::objectPath) != nullptr, !firstRuns);
        QCOMPARE(nameOwner(), (firstRuns ? QDBusConnection::sessionBus() : other()).baseService());
        QCOMPARE(requests, firstRuns ? QStringList { "showWindow" } : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRemoteControl)
#include "tst_remote_control.moc"

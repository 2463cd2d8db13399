#include "platform/netlink/network_monitor.h"

#include "support/command_runner.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace kavo;

// CTest runs this program in a network namespace of its own (unshare -rn), where it may change addresses.
class TestNetworkMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("needs a network namespace of its own: run it through ctest");
        QCOMPARE(test::runTool(u"ip"_qs, { u"link"_qs, u"set"_qs, u"lo"_qs, u"up"_qs }), QString());
    }

    void addressChangesAreReportedOncePerBurst()
    {
        NetworkMonitor monitor;
        QVERIFY2(monitor.isWatching(), qPrintable(monitor.problem()));
        QSignalSpy changed(&monitor, &NetworkMonitor::changed);
        QVERIFY(!changed.wait(int(NetworkMonitor::settleTime.count()) * 2));

        // Two addresses added at once, as joining a network does.
        const QString add = u"addr add 10.9.9.%1/32 dev lo"_qs;
        QCOMPARE(test::runTool(u"sh"_qs, { u"-c"_qs, u"ip %1 && ip %2"_qs.arg(add.arg(1), add.arg(2)) }), QString());
        // The event loop reads the messages only now, and waits for more before it reports them.
        QElapsedTimer sinceChange;
        sinceChange.start();
        QVERIFY(changed.wait(5000));
        QVERIFY(sinceChange.elapsed() >= NetworkMonitor::settleTime.count() * 9 / 10);
        QTest::qWait(int(NetworkMonitor::settleTime.count()) * 2);
        QCOMPARE(changed.count(), 1);

        QCOMPARE(test::runTool(u"ip"_qs, { u"addr"_qs, u"del"_qs, u"10.9.9.1/32"_qs, u"dev"_qs, u"lo"_qs }), QString());
        QVERIFY(changed.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestNetworkMonitor)
#include "tst_network_monitor.moc"

#include "state/phone_status.h"
#include "state/toasts.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace kavo;

class TestState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A newer toast replaces the one on screen and is removed 2.6 s after it was shown, not a moment before.
    void toasts()
    {
        Toasts toasts;
        toasts.show(u"First"_qs, {}, Toasts::Tone::info);
        const QUuid first = toasts.current()->id;
        QTest::qWait(1000);
        QElapsedTimer shown;
        shown.start();
        toasts.show(u"First"_qs, {}, Toasts::Tone::info);
        QVERIFY(toasts.current()->id != first);
        QSignalSpy changed(&toasts, &Toasts::toastChanged);
        QVERIFY(changed.wait(4000));
        QVERIFY(!toasts.current());
        QVERIFY2(shown.elapsed() >= 2595, qPrintable(QString::number(shown.elapsed())));
    }

    void phoneConnected()
    {
        PhoneStatus status;
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!status.isConnected(now));
        status.setLastSeen(now.addMSecs(-44999));
        QVERIFY(status.isConnected(now));
        status.setLastSeen(now.addSecs(-45));
        QVERIFY(!status.isConnected(now));
    }
};

QTEST_GUILESS_MAIN(TestState)
#include "tst_state.moc"

#include "phone/qr_code.h"
#include "state/phone_status.h"
#include "state/toasts.h"
#include "store/history_manager.h"
#include "store/settings.h"
#include "support/data_folder.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"
#include "ui/phone/phone_view.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

void qml_register_types_Kavo_Phone();

using namespace kavo;
using namespace std::chrono_literals;
using test::row;

namespace {

const QString phoneLink = u"https://192.168.1.23:8443/?t=k7mwq3hzp2xv9cde"_qs;
const QDateTime start = QDateTime(QDate(2026, 3, 14), QTime(9, 30));

// A History entry written as "p:name" (phone) or "c:name" (computer), with ":text" when its text is not its name;
// the name gives the id, so two lists can hold the same entry.
HistoryEntry entry(const QString& description)
{
    const QStringList parts = description.split(u':');
    HistoryEntry entry;
    entry.id = QUuid::createUuidV5(QUuid(), parts[1]);
    entry.source = parts[0] == u"p" ? DictationSource::phone : DictationSource::computer;
    entry.text = parts.size() > 2 ? description.section(u':', 2) : parts[1];
    entry.date = start;
    return entry;
}

QList<HistoryEntry> entries(const QStringList& descriptions)
{
    QList<HistoryEntry> list;
    for (const QString& description : descriptions)
        list << entry(description);
    return list;
}

void setEntries(HistoryManager& history, const QStringList& descriptions)
{
    history.change([&](History& all) { all.entries = entries(descriptions); });
}

QStringList texts(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, 0).data(PhoneRecordingsModel::TextRole).toString();
    return texts;
}

} // namespace

class PhoneScreenTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;

    // Everything the view is made from, fresh for each test.
    struct Fixture
    {
        PhoneStatus phone;
        Settings settings;
        HistoryManager history;
        Toasts toasts;
        QDateTime now = start;
        PhoneView view { phone, settings, history, toasts };

        Fixture()
        {
            view.setClock([this] { return now; });
        }
        void see(double secondsAfterStart) { phone.setLastSeen(start.addMSecs(qint64(secondsAfterStart * 1000))); }
    };

    std::unique_ptr<QQuickWindow> window(const QByteArray& qml, QObject* view = nullptr)
    {
        return test::showWindow(m_engine, "Kavo.Phone", qml, view);
    }

    std::unique_ptr<QQuickWindow> screen(PhoneView& view)
    {
        return test::showScreen(m_engine, "Kavo.Phone", "PhoneScreen", &view);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_Phone();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Connected means seen less than the contact window before now, and only while the server is on.
    void connected_data()
    {
        test::columns<bool, double, bool, QString, QString>(
            { "serverOn", "secondsAgo", "connected", "status", "button" });
        row("seen 10 s ago", true, 10.0, true, "Phone connected — you can talk", "Disconnect");
        row("seen 44.9 s ago", true, 44.9, true, "Phone connected — you can talk", "Disconnect");
        row("seen 45 s ago", true, 45.0, false, "Waiting for the phone", "New code");
        row("never seen", true, -1.0, false, "Waiting for the phone", "New code");
        row("server off", false, 10.0, false, "Waiting for the phone", "New code");
    }

    void connected()
    {
        const auto [serverOn, secondsAgo] = test::fetch<bool, double>({ "serverOn", "secondsAgo" });
        Fixture fixture;
        fixture.settings.setPhoneServerEnabled(serverOn);
        fixture.now = start.addSecs(100);
        if (secondsAgo >= 0)
            fixture.see(100 - secondsAgo);
        QTEST(fixture.view.isConnected(), "connected");
        QTEST(fixture.view.statusLine(), "status");
        QTEST(fixture.view.buttonText(), "button");
    }

    // Time passing alone turns the card to waiting within one recheck.
    void contactRunsOut()
    {
        Fixture fixture;
        fixture.settings.setPhoneServerEnabled(true);
        fixture.see(0);
        QVERIFY(fixture.view.isConnected());
        QSignalSpy changes(&fixture.view, &PhoneView::connectedChanged);
        fixture.now = start.addSecs(46);
        QVERIFY(fixture.view.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.view.isConnected(), 2500);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(fixture.view.statusLine(), "Waiting for the phone");
    }

    // "Phone connected" for a first contact and for one after a silence of the contact window, not for polling.
    // A negative time is the link being reset (no last contact).
    void connectedToast_data()
    {
        test::columns<QList<double>, int>({ "contacts", "toasts" });
        row("first contact", QList<double> { 0 }, 1);
        row("10 s after the last", QList<double> { 0, 10 }, 1);
        row("44.9 s after the last", QList<double> { 0, 44.9 }, 1);
        row("45 s after the last", QList<double> { 0, 45 }, 2);
        row("after a reset", QList<double> { 0, -1, 5 }, 2);
        row("polling every 10 s for a minute", QList<double> { 0, 10, 20, 30, 40, 50, 60 }, 1);
        row("polling, a pause of 45 s, polling", QList<double> { 0, 10, 55, 65 }, 2);
    }

    void connectedToast()
    {
        const auto [contacts] = test::fetch<QList<double>>({ "contacts" });
        Fixture fixture;
        fixture.settings.setPhoneServerEnabled(true);
        int toasts = 0;
        connect(&fixture.toasts, &Toasts::toastChanged, this, [&] {
            if (fixture.toasts.current()) {
                QCOMPARE(fixture.toasts.current()->title, "Phone connected");
                QCOMPARE(fixture.toasts.current()->tone, Toasts::Tone::success);
                ++toasts;
            }
        });
        for (const double seconds : contacts) {
            if (seconds < 0)
                fixture.phone.setLastSeen({});
            else
                fixture.see(seconds);
        }
        QTEST(toasts, "toasts");
    }

    // The rows follow the History's changes to phone entries, row by row; only a reorder or a clear resets.
    void recordings_data()
    {
        test::columns<QStringList, QStringList, QStringList, bool>({ "before", "after", "rows", "reset" });
        row("phone entry added", QStringList { "c:a", "p:b" }, QStringList { "p:n", "c:a", "p:b" },
            QStringList { "n", "b" }, false);
        row("computer entry added", QStringList { "p:b" }, QStringList { "c:x", "p:b" }, QStringList { "b" }, false);
        row("phone entry added between", QStringList { "p:a", "c:b", "p:c" },
            QStringList { "p:a", "c:b", "p:n", "p:c" }, QStringList { "a", "n", "c" }, false);
        row("phone text changed", QStringList { "c:a", "p:b" }, QStringList { "c:a", "p:b:edited" },
            QStringList { "edited" }, false);
        row("computer text changed", QStringList { "c:a", "p:b" }, QStringList { "c:a:edited", "p:b" },
            QStringList { "b" }, false);
        row("phone entry removed", QStringList { "c:a", "p:b", "p:c" }, QStringList { "c:a", "p:c" },
            QStringList { "c" }, false);
        row("computer entry removed", QStringList { "c:a", "p:b" }, QStringList { "p:b" }, QStringList { "b" }, false);
        row("several at once", QStringList { "p:a", "c:b", "p:c", "c:d" },
            QStringList { "p:n", "c:b", "p:c:edited", "c:m" }, QStringList { "n", "edited" }, false);
        row("source becomes phone", QStringList { "c:a", "p:b" }, QStringList { "p:a", "p:b" },
            QStringList { "a", "b" }, false);
        row("source becomes computer", QStringList { "p:a", "p:b" }, QStringList { "p:a", "c:b" }, QStringList { "a" },
            false);
        row("reordered", QStringList { "p:a", "p:b" }, QStringList { "p:b", "p:a" }, QStringList { "b", "a" }, true);
        row("cleared", QStringList { "p:a", "c:b" }, QStringList {}, QStringList {}, true);
    }

    void recordings()
    {
        const auto [before, after] = test::fetch<QStringList, QStringList>({ "before", "after" });
        HistoryManager history;
        PhoneRecordingsModel model(history);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        setEntries(history, before);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy emptiness(&model, &PhoneRecordingsModel::emptyChanged);
        const bool wasEmpty = model.isEmpty();
        setEntries(history, after);
        QTEST(texts(model), "rows");
        QTEST(resets.count() == 1, "reset");
        QCOMPARE(emptiness.count(), int(wasEmpty != model.isEmpty()));
    }

    // The code drawn at a side that is no multiple of its module count: every pixel has the colour of the module it
    // falls in, modules rounded down to whole pixels, the quiet zone is light, and there is no colour in between.
    void qrDrawing()
    {
        const auto main = window("Window { property QtObject view; width: 240; height: 240; color: Tokens.bgApp;"
                                 " QRCodeItem { x: 11; y: 7; width: 203; height: 203; text: \""
            + phoneLink.toUtf8() + "\"; moduleColor: Tokens.qrModule; plateColor: Tokens.qrPlate } }");
        const std::optional<QRCode> code = QRCode::cached(phoneLink);
        QVERIFY(code && 203 % code->size != 0);
        const QImage image = main->grabWindow().copy(11, 7, 203, 203).convertToFormat(QImage::Format_RGB32);
        const QRgb module = m_tokens.qrModule().rgb();
        const QRgb plate = m_tokens.qrPlate().rgb();
        QRect dark;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY2(pixel == module || pixel == plate, qPrintable(u"blurred at %1,%2"_qs.arg(x).arg(y)));
                if (pixel == module)
                    dark |= QRect(x, y, 1, 1);
            }
        }
        QCOMPARE(dark.height(), dark.width());
        // Module c covers the pixels from floor(c × side ÷ size) up to the next module's edge.
        QList<int> moduleAt(dark.width());
        for (int index = 0; index < code->size; ++index) {
            for (int x = index * dark.width() / code->size; x < (index + 1) * dark.width() / code->size; ++x)
                moduleAt[x] = index;
        }
        const int quietZone = 4 * dark.width() / code->size;
        QVERIFY(dark.left() >= quietZone && image.width() - 1 - dark.right() >= quietZone);
        for (int y = 0; y < dark.height(); ++y) {
            for (int x = 0; x < dark.width(); ++x) {
                const bool isDark = code->dark[moduleAt[y] * code->size + moduleAt[x]];
                QVERIFY2((image.pixel(dark.left() + x, dark.top() + y) == module) == isDark,
                    qPrintable(u"pixel %1,%2 of module %3,%4"_qs.arg(x).arg(y).arg(moduleAt[x]).arg(moduleAt[y])));
            }
        }
    }

    // Tab reaches every control by name; the QR code's menu key copies the phoneLink, and the buttons reach the view.
    void keyboard()
    {
        Fixture fixture;
        setEntries(fixture.history, { "p:one:Buy bread", "c:two" });
        auto main = screen(fixture.view);
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QCOMPARE(test::focusedName(*main), "Turn on");
        QTest::keyClick(main.get(), Qt::Key_Space);
        QVERIFY(fixture.settings.phoneServerEnabled());
        QCOMPARE(test::focusedName(*main), "New code");

        fixture.phone.setPhoneURLs({ phoneLink, u"https://10.0.0.5:8443/?t=k7mwq3hzp2xv9cde"_qs });
        main = screen(fixture.view);
        QCOMPARE(test::tabOrder(*main, 6).join(u'|'), "QR code for the phone|New code|Copy text");

        while (test::focusedName(*main) != u"QR code for the phone")
            QTest::keyClick(main.get(), Qt::Key_Tab);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(main.get(), Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = main->findChild<QObject*>(u"linkMenu"_qs);
        QTRY_VERIFY(menu->property("opened").toBool());
        QTest::keyClick(main.get(), Qt::Key_Down);
        QTest::keyClick(main.get(), Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), phoneLink);
        QCOMPARE(fixture.toasts.current()->title, "Copied");

        QSignalSpy newCode(&fixture.view, &PhoneView::newCodeRequested);
        QTRY_VERIFY(!menu->property("visible").toBool());
        QCOMPARE(test::focusedName(*main), "QR code for the phone");
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Space);
        QCOMPARE(newCode.count(), 1);
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Space);
        QCOMPARE(QGuiApplication::clipboard()->text(), "Buy bread");
    }

    // The screen in both appearances, for people to look at.
    void screenshots()
    {
        Fixture fixture;
        fixture.now = start.addSecs(3600);
        fixture.history.change([](History& history) {
            const QStringList phoneTexts {
                u"Remind me to call the bank on Monday about the card limit and the new address."_qs,
                u"Shopping list: bread, milk, two kilos of apples, coffee beans and a birthday card for Dilnoza."_qs,
                u"Draft for the team: the release moves to Thursday because the installer still needs testing "
                "on older laptops. Please send your notes by Wednesday noon."_qs,
            };
            for (int index = 0; index < phoneTexts.size(); ++index) {
                HistoryEntry recording = entry(u"p:%1:%2"_qs.arg(index).arg(phoneTexts[index]));
                recording.date = start.addSecs(600 * index);
                history.entries.prepend(recording);
            }
        });
        const auto shoot = [&](const QString& name) {
            for (const bool dark : { false, true }) {
                m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
                const auto main = screen(fixture.view);
                QTest::qWait(100);
                test::screenshot(*main, name + (dark ? u"-dark"_qs : u"-light"_qs));
            }
        };
        shoot(u"phone-screen-off"_qs);
        fixture.settings.setPhoneServerEnabled(true);
        shoot(u"phone-screen-starting"_qs);
        fixture.phone.setPhoneURLs({ phoneLink });
        shoot(u"phone-screen"_qs);
        fixture.phone.setLastSeen(fixture.now.addSecs(-5));
        shoot(u"phone-screen-connected"_qs);
        fixture.phone.setLastSeen({});
        fixture.phone.setError(u"Port 8443 is in use by another program."_qs);
        fixture.phone.setPhoneURLs({});
        shoot(u"phone-screen-error"_qs);
    }
};

QTEST_MAIN(PhoneScreenTest)
#include "tst_phone_screen.moc"

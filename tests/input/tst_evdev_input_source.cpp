#include "input/evdev_input_source.h"
#include "input/injected_keys.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace kavo;
using test::columns;
using test::row;

namespace {

QByteArray record(int type, int code, int value)
{
    input_event event {};
    event.type = quint16(type);
    event.code = quint16(code);
    event.value = value;
    return QByteArray(reinterpret_cast<const char*>(&event), sizeof event);
}

QByteArray key(int code, int value)
{
    return record(EV_KEY, code, value);
}

// The stand-in devices: event0 and event3 are keyboards, event1 is a mouse, event2 a sensor.
EvdevInputSource::DeviceKind kindByName(int, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return { .keyboard = name == "event0" || name == "event3", .pointer = name == "event1" };
}

/// A folder of named pipes standing in for device files, the source reading it and the events it told of.
struct Devices
{
    QTemporaryDir temporary;
    QString folder = temporary.filePath("input");
    EvdevInputSource source { folder, kindByName };
    QStringList received;
    std::map<QString, int> writers;

    explicit Devices(bool folderExists = true)
    {
        if (folderExists)
            QDir().mkdir(folder);
        source.onFlags = [this](const FlagsEvent& event) {
            received << QString("flags %1 key %2").arg(event.flags, 0, 16).arg(event.keyCode);
        };
        source.onPress = [this](const PressEvent& event) {
            received << (event.type == PressEvent::Type::mouseDown ? QString("mouse")
                                                                   : QString("key %1").arg(event.keyCode));
        };
    }
    ~Devices()
    {
        for (const auto& [name, writer] : writers)
            ::close(writer);
    }

    QByteArray path(const QString& name) const { return QFile::encodeName(folder + '/' + name); }
    bool add(const QString& name, mode_t mode = 0600) { return ::mkfifo(path(name).constData(), mode) == 0; }
    /// Opens the writing end, which fails while the source does not read the device.
    bool plugIn(const QString& name)
    {
        const int writer = ::open(path(name).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0)
            writers[name] = writer;
        return writer >= 0;
    }
    bool write(const QString& name, const QByteArray& bytes)
    {
        return ::write(writers.at(name), bytes.constData(), bytes.size()) == bytes.size();
    }
    void unplug(const QString& name)
    {
        ::close(writers.at(name));
        writers.erase(name);
    }
};

} // namespace

class TestEvdevInputSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        // Writing to a device the source has closed must fail, not end the test.
        std::signal(SIGPIPE, SIG_IGN);
    }

    void deliversKeysAndButtonsInOrder_data()
    {
        columns<QByteArray, QByteArray, int, QStringList>({ "announced", "written", "chunk", "expected" });
        const QByteArray none, ctrl = key(KEY_LEFTCTRL, 1), ctrlUp = key(KEY_LEFTCTRL, 0);
        const QByteArray report = record(EV_SYN, SYN_REPORT, 0), dropped = record(EV_SYN, SYN_DROPPED, 0);
        const QByteArray paste = ctrl + key(KEY_V, 1) + key(KEY_V, 0) + ctrlUp;
        const QStringList ctrlDownUp { "flags 40000 key 1029", "flags 0 key 1029" };
        row("Control", none, ctrl + ctrlUp, 0, ctrlDownUp);
        row("left Super is function", none, key(KEY_LEFTMETA, 1) + key(KEY_LEFTMETA, 0), 0,
            QStringList { "flags 800000 key 1125", "flags 0 key 1125" });
        row("right Super is command, 54", none, key(KEY_RIGHTMETA, 1) + key(KEY_RIGHTMETA, 0), 0,
            QStringList { "flags 100000 key 54", "flags 0 key 54" });
        row("Fn is function", none, key(KEY_FN, 1), 0, QStringList { "flags 800000 key 1464" });
        row("Escape and a letter, down only", none, key(KEY_ESC, 1) + key(KEY_ESC, 0) + key(KEY_A, 1) + key(KEY_A, 0),
            0, QStringList { "key 53", "key 1030" });
        row("mouse buttons, not touchpad contacts", none,
            key(BTN_LEFT, 1) + key(BTN_LEFT, 0) + key(BTN_RIGHT, 1) + key(BTN_MIDDLE, 1) + key(BTN_TOUCH, 1), 0,
            QStringList { "mouse", "mouse", "mouse" });
        row("autorepeat", none, ctrl + key(KEY_LEFTCTRL, 2) + key(KEY_A, 1) + key(KEY_A, 2), 0,
            QStringList { "flags 40000 key 1029", "key 1030" });
        row("duplicate release", none, ctrl + ctrlUp + ctrlUp, 0, ctrlDownUp);
        row("records split across writes", none, ctrl + ctrlUp, 7, ctrlDownUp);
        row("the application's own paste chord", paste, paste + ctrl, 0, QStringList { "flags 40000 key 1029" });
        row("events the kernel dropped", none,
            ctrl + report + dropped + ctrlUp + key(KEY_A, 1) + report + key(KEY_B, 1), 0,
            QStringList { "flags 40000 key 1029", "flags 0 key 0", "key 1048" });
    }

    void deliversKeysAndButtonsInOrder()
    {
        QFETCH(QByteArray, announced);
        QFETCH(QByteArray, written);
        QFETCH(int, chunk);
        QFETCH(QStringList, expected);
        Devices devices;
        QVERIFY(devices.add("event0"));
        QVERIFY(devices.source.start());
        QVERIFY(devices.plugIn("event0"));
        for (qsizetype at = 0; at < announced.size(); at += qsizetype(sizeof(input_event))) {
            input_event event;
            std::memcpy(&event, announced.constData() + at, sizeof event);
            InjectedKeys::instance().announce(event.code, event.value == 1);
        }
        const qsizetype step = chunk > 0 ? chunk : written.size();
        for (qsizetype at = 0; at < written.size(); at += step) {
            QVERIFY(devices.write("event0", written.mid(at, step)));
            QTest::qWait(chunk > 0 ? 20 : 0); // so that the source reads each piece on its own
        }
        // Z comes last: once it is there, nothing else can still be on its way.
        QVERIFY(devices.write("event0", key(KEY_Z, 1)));
        QTRY_COMPARE(devices.received, expected + QStringList { "key 1044" });
    }

    void problemLastsUntilAKeyboardCanBeRead_data()
    {
        columns<bool, QStringList, bool, QString, QString>(
            { "folderExists", "names", "unreadable", "says", "arrives" });
        row("no folder", false, QStringList {}, false, QString("does not exist"), QString());
        row("a mouse and a sensor, then a keyboard", true, QStringList { "event1", "event2" }, false,
            QString("there is no keyboard"), QString("event3"));
        row("no permission, until it is granted", true, QStringList { "event0", "event1" }, true,
            QString("sudo usermod -aG input $USER"), QString("event0"));
        row("a keyboard among others", true, QStringList { "event1", "event0", "event2" }, false, QString(), QString());
    }

    void problemLastsUntilAKeyboardCanBeRead()
    {
        QFETCH(bool, folderExists);
        QFETCH(QStringList, names);
        QFETCH(bool, unreadable);
        QFETCH(QString, says);
        QFETCH(QString, arrives);
        Devices devices(folderExists);
        for (const QString& name : names)
            QVERIFY(devices.add(name, unreadable ? 0 : 0600));
        // No file permission stops root, so a test run as root opens the devices as nobody.
        const bool asNobody = unreadable && ::geteuid() == 0;
        for (const QString& folder : { devices.temporary.path(), devices.folder })
            QVERIFY(!asNobody || ::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QVERIFY(!asNobody || ::seteuid(65534) == 0);
        const bool started = devices.source.start();
        QVERIFY(!asNobody || ::seteuid(0) == 0);
        QCOMPARE(started, says.isEmpty());
        QCOMPARE(devices.source.problem().isEmpty(), says.isEmpty());
        QVERIFY2(devices.source.problem().contains(says), qPrintable(devices.source.problem()));
        for (const QString& name : names) {
            const auto kind = kindByName(0, name);
            QCOMPARE(devices.plugIn(name), !unreadable && (kind.keyboard || kind.pointer));
        }
        if (arrives.isEmpty())
            return;

        QVERIFY(names.contains(arrives) ? ::chmod(devices.path(arrives).constData(), 0600) == 0 : devices.add(arrives));
        QTRY_VERIFY(devices.source.problem().isEmpty());
        QVERIFY(devices.plugIn(arrives));
        QVERIFY(devices.write(arrives, key(KEY_LEFTCTRL, 1)));
        QTRY_COMPARE(devices.received, QStringList { "flags 40000 key 1029" });
    }

    void keyboardThatGoesAwayReleasesItsKeys_data()
    {
        columns<bool>({ "deleted" });
        row("its stream ends", false);
        row("its device file is deleted", true);
    }

    void keyboardThatGoesAwayReleasesItsKeys()
    {
        QFETCH(bool, deleted);
        Devices devices;
        QVERIFY(devices.add("event0") && devices.add("event3"));
        QVERIFY(devices.source.start());
        QVERIFY(devices.plugIn("event0") && devices.plugIn("event3"));
        QVERIFY(devices.write("event0", key(KEY_LEFTCTRL, 1)));
        QTRY_COMPARE(devices.received.size(), 1);
        if (deleted)
            QVERIFY(QFile::remove(devices.path("event0")));
        else
            devices.unplug("event0");
        QTRY_COMPARE(devices.received.size(), 2);
        QVERIFY(devices.write("event3", key(KEY_LEFTSHIFT, 1)));
        QTRY_COMPARE(
            devices.received, (QStringList { "flags 40000 key 1029", "flags 0 key 0", "flags 20000 key 1042" }));
        // The source no longer holds the deleted device open.
        QVERIFY(!deleted || !devices.write("event0", key(KEY_A, 1)));
    }
};

QTEST_GUILESS_MAIN(TestEvdevInputSource)
#include "tst_evdev_input_source.moc"

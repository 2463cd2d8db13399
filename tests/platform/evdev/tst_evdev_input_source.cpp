#include "hotkey/injected_keys.h"
#include "platform/evdev/evdev_input_source.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
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
    const input_event event { {}, quint16(type), quint16(code), value };
    return QByteArray(reinterpret_cast<const char*>(&event), sizeof event);
}

const auto key = [](int code, int value) { return record(EV_KEY, code, value); };

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
    std::map<QString, std::unique_ptr<QFile>> writers;

    Devices()
    {
        QDir().mkdir(folder);
        QObject::connect(&source, &InputEventSource::flagsChanged,
            [this](const FlagsEvent& e) { received << QString("flags %1 key %2").arg(e.flags, 0, 16).arg(e.keyCode); });
        QObject::connect(&source, &InputEventSource::pressed, [this](const PressEvent& e) {
            received << (e.type == PressEvent::Type::mouseDown ? QString("mouse") : QString("key %1").arg(e.keyCode));
        });
    }

    QByteArray path(const QString& name) const { return QFile::encodeName(folder + '/' + name); }
    bool add(const QString& name, mode_t mode = 0600) { return ::mkfifo(path(name).constData(), mode) == 0; }
    /// Opens the writing end, which fails while the source does not read the device.
    bool plugIn(const QString& name)
    {
        const int fd = ::open(path(name).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        auto& writer = writers[name] = std::make_unique<QFile>();
        return fd >= 0 && writer->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::AutoCloseHandle);
    }
    bool write(const QString& name, const QByteArray& bytes) { return writers.at(name)->write(bytes) == bytes.size(); }
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
        columns<QByteArray, QString>({ "written", "expected" });
        const QByteArray ctrl = key(KEY_LEFTCTRL, 1), ctrlUp = key(KEY_LEFTCTRL, 0);
        const QByteArray report = record(EV_SYN, SYN_REPORT, 0), dropped = record(EV_SYN, SYN_DROPPED, 0);
        row("Fn is function, other keys go down only",
            key(KEY_FN, 1) + key(KEY_ESC, 1) + key(KEY_ESC, 0) + key(KEY_A, 1),
            "flags 800000 key 1464, key 53, key 1030");
        row("left and right clicks, not middle ones or touchpad contacts",
            key(BTN_LEFT, 1) + key(BTN_LEFT, 0) + key(BTN_RIGHT, 1) + key(BTN_MIDDLE, 1) + key(BTN_TOUCH, 1),
            "mouse, mouse");
        row("autorepeat and a second release",
            ctrl + key(KEY_LEFTCTRL, 2) + key(KEY_A, 1) + key(KEY_A, 2) + ctrlUp + ctrlUp,
            "flags 40000 key 1029, key 1030, flags 0 key 1029");
        row("events the kernel dropped", ctrl + report + dropped + ctrlUp + key(KEY_A, 1) + report + key(KEY_B, 1),
            "flags 40000 key 1029, flags 0 key 0, key 1048");
    }

    void deliversKeysAndButtonsInOrder()
    {
        auto [written, expected] = test::fetch<QByteArray, QString>({ "written", "expected" });
        Devices devices;
        QVERIFY(devices.add("event0") && devices.source.start() && devices.plugIn("event0"));
        // First comes the application's own paste chord, announced as it is sent: it must not show.
        QByteArray own;
        for (const int code : { KEY_LEFTCTRL, KEY_V, -KEY_V, -KEY_LEFTCTRL }) { // negative for a release
            InjectedKeys::instance().announce(std::abs(code), code > 0);
            own += key(std::abs(code), code > 0);
        }
        written.prepend(own);
        // The second record arrives in two reads; Z comes last, so once it is there nothing else is on its way.
        QVERIFY(devices.write("event0", written.left(31)));
        QTest::qWait(20);
        QVERIFY(devices.write("event0", written.mid(31) + key(KEY_Z, 1)));
        QTRY_COMPARE(devices.received.join(", "), expected + ", key 1044");
    }

    void followsKeyboardsThatComeAndGo()
    {
        Devices devices;
        EvdevInputSource missing(devices.temporary.filePath("none"), kindByName);
        QVERIFY(!missing.start() && missing.problem().contains("does not exist"));

        // A keyboard the user may not read, a mouse and a sensor. No file permission stops root, so a test run as
        // root starts the source as nobody.
        QVERIFY(devices.add("event0", 0) && devices.add("event1", 0644) && devices.add("event2", 0644));
        const bool asRoot = ::geteuid() == 0;
        for (const QString& folder : { devices.temporary.path(), devices.folder })
            QVERIFY(!asRoot || ::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QVERIFY(!asRoot || ::seteuid(65534) == 0);
        const bool started = devices.source.start();
        QVERIFY(!asRoot || ::seteuid(0) == 0);
        QVERIFY(!started && devices.source.problem().contains("sudo usermod -aG input $USER"));
        QVERIFY(!devices.plugIn("event0") && devices.plugIn("event1") && !devices.plugIn("event2"));

        // Once it may be read, the keyboard is opened; deleted with Control down, it releases Control.
        QVERIFY(::chmod(devices.path("event0").constData(), 0600) == 0);
        QTRY_VERIFY(devices.source.problem().isEmpty());
        QVERIFY(devices.plugIn("event0") && devices.write("event0", key(KEY_LEFTCTRL, 1)));
        QTRY_COMPARE(devices.received.size(), 1);
        QVERIFY(QFile::remove(devices.path("event0")));
        QTRY_VERIFY(devices.source.problem().contains("there is no keyboard"));
        QVERIFY(!devices.write("event0", key(KEY_A, 1))); // no longer held open

        // A new keyboard is opened; when its stream ends with Shift down, it releases Shift.
        QVERIFY(devices.add("event3"));
        QTRY_VERIFY(devices.source.problem().isEmpty());
        QVERIFY(devices.plugIn("event3") && devices.write("event3", key(KEY_LEFTSHIFT, 1)));
        devices.writers.erase("event3");
        QTRY_COMPARE(
            devices.received.join(", "), "flags 40000 key 1029, flags 0 key 0, flags 20000 key 1042, flags 0 key 0");
    }
};

QTEST_GUILESS_MAIN(TestEvdevInputSource)
#include "tst_evdev_input_source.moc"

#include "text_target.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kavo::test {

namespace {

using namespace std::chrono_literals;

Display* display()
{
    static Display* connection = XOpenDisplay(nullptr);
    return connection;
}

} // namespace

TextTarget::TextTarget(const QString& program)
    : m_program(program)
{ }

TextTarget::~TextTarget()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString TextTarget::start()
{
    if (!display())
        return QStringLiteral("no X display");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(m_program, {});
    if (!m_process.waitForStarted())
        return m_process.errorString();
    const QByteArray ready = awaitLine("ready", 10s);
    m_window = ready.toULong();
    return m_window ? QString() : QStringLiteral("the text target did not show its window");
}

bool TextTarget::focus()
{
    focusWindow(m_window);
    // What a window manager announces: the window that has the focus.
    const Atom active = XInternAtom(display(), "_NET_ACTIVE_WINDOW", False);
    XChangeProperty(display(), DefaultRootWindow(display()), active, XA_WINDOW, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(&m_window), 1);
    XSync(display(), False);
    return request("focus", "focused") == QLatin1String("focused");
}

QString TextTarget::text()
{
    return request("text", "text");
}

void TextTarget::clear()
{
    request("clear", "cleared");
}

QString TextTarget::selection(bool primary)
{
    const QByteArray command = primary ? "primary" : "clipboard";
    return request(command, command);
}

void TextTarget::setSelection(const QString& text, bool primary)
{
    const QByteArray json = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    request((primary ? "select " : "copy ") + json, "copied");
}

void TextTarget::markReturns(bool on)
{
    request(on ? "marks on" : "marks off", "marks");
}

QString TextTarget::waitForText(const QString& expected, std::chrono::milliseconds timeout)
{
    QString seen;
    return QTest::qWaitFor([&] { return (seen = text()) == expected; }, int(timeout.count())) ? expected : seen;
}

// Sends one command and returns its answer's argument: a JSON string decoded, or the answer's word itself.
QString TextTarget::request(const QByteArray& command, const QByteArray& answer)
{
    m_output.clear();
    m_process.readAllStandardOutput();
    m_process.write(command + '\n');
    const QByteArray line = awaitLine(answer, 5s);
    if (line.isNull())
        return {};
    if (line.isEmpty())
        return QString::fromLatin1(answer);
    return QJsonDocument::fromJson(line).array().at(0).toString();
}

// Waits for the line that starts with the word `answer` and returns what follows it (null on timeout). The event
// loop keeps running meanwhile: the program may be asking this process for a selection.
QByteArray TextTarget::awaitLine(const QByteArray& answer, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        m_output += m_process.readAllStandardOutput();
        for (qsizetype end = m_output.indexOf('\n'); end >= 0; end = m_output.indexOf('\n')) {
            const QByteArray line = m_output.left(end);
            m_output.remove(0, end + 1);
            if (line == answer)
                return QByteArray("");
            if (line.startsWith(QByteArray(answer + ' ')))
                return line.mid(answer.size() + 1);
        }
        const qint64 left = timeout.count() - clock.elapsed();
        if (left <= 0 || m_process.state() == QProcess::NotRunning)
            return {};
        QEventLoop loop;
        QTimer::singleShot(int(left), &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

QList<unsigned long> windowsOfClass(const QString& name)
{
    Display* connection = display();
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!connection || !XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count))
        return {};
    QList<unsigned long> found;
    for (unsigned index = 0; index < count; ++index) {
        XWindowAttributes attributes;
        XClassHint hint {};
        if (!XGetWindowAttributes(connection, children[index], &attributes) || attributes.map_state != IsViewable
            || !XGetClassHint(connection, children[index], &hint))
            continue;
        if (QString::fromLocal8Bit(hint.res_name) == name || QString::fromLocal8Bit(hint.res_class) == name)
            found << children[index];
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (children)
        XFree(children);
    return found;
}

unsigned long findWindowOfClass(const QString& name)
{
    return windowsOfClass(name).value(0);
}

void focusWindow(unsigned long window)
{
    XSetInputFocus(display(), window, RevertToPointerRoot, CurrentTime);
    XSync(display(), False);
}

} // namespace kavo::test

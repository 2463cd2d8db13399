// A Qt text field for text-delivery tests: a window with one QPlainTextEdit, driven through standard input.
//
//   focus                 print "focused" once the window has the keyboard focus (the test gives it)
//   text                  print "text" and the field's text
//   clear                 empty the field
//   clipboard | primary   print that selection's text, read the way Qt applications read it
//   copy JSON | select JSON   make the JSON string the clipboard's / the primary selection's text
//   marks on | marks off  show Return presses as "[Return]", "[Shift+Return]", "[Alt+Return]" instead of acting
//
// Strings are printed as JSON arrays of one string, so that any text fits on one line. "ready" comes once the
// window is on the screen, with the window's X id.

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

namespace {

void reply(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray quoted(const QString& text)
{
    return QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
}

QString unquoted(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).array().at(0).toString();
}

class ReturnMarker : public QObject
{
public:
    bool enabled = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!enabled || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        QString mark = QStringLiteral("Return");
        if (key->modifiers() & Qt::AltModifier)
            mark.prepend(QStringLiteral("Alt+"));
        if (key->modifiers() & Qt::ShiftModifier)
            mark.prepend(QStringLiteral("Shift+"));
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(u'[' + mark + u']');
        return true;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QPlainTextEdit field;
    ReturnMarker marker;
    field.installEventFilter(&marker);
    field.setWindowTitle(QStringLiteral("kavo text target"));
    field.resize(480, 320);
    field.show();

    QTimer exposure;
    QObject::connect(&exposure, &QTimer::timeout, [&] {
        if (field.windowHandle() && field.windowHandle()->isExposed()) {
            exposure.stop();
            reply("ready " + QByteArray::number(field.winId()));
        }
    });
    exposure.start(5);
    QTimer focusWatch;
    QObject::connect(&focusWatch, &QTimer::timeout, [&] {
        if (QGuiApplication::focusWindow() == field.windowHandle()) {
            focusWatch.stop();
            reply("focused");
        }
    });

    const auto handle = [&](const QByteArray& line) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray command = space < 0 ? line : line.left(space);
        const QByteArray argument = space < 0 ? QByteArray() : line.mid(space + 1);
        if (command == "focus") {
            focusWatch.start(5);
        } else if (command == "text") {
            reply("text " + quoted(field.toPlainText()));
        } else if (command == "clear") {
            field.clear();
            reply("cleared");
        } else if (command == "clipboard" || command == "primary") {
            const auto mode = command == "primary" ? QClipboard::Selection : QClipboard::Clipboard;
            reply(command + ' ' + quoted(QGuiApplication::clipboard()->text(mode)));
        } else if (command == "copy" || command == "select") {
            const auto mode = command == "select" ? QClipboard::Selection : QClipboard::Clipboard;
            QGuiApplication::clipboard()->setText(unquoted(argument), mode);
            reply("copied");
        } else if (command == "marks") {
            marker.enabled = argument == "on";
            reply("marks");
        }
    };
    QByteArray pending;
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            application.quit();
            return;
        }
        pending.append(buffer, count);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray line = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            handle(line);
        }
    });
    return application.exec();
}

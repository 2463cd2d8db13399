#include "wl_clipboard.h"

#include <QCoroProcess>
#include <QProcess>
#include <QStandardPaths>

namespace kavo {

namespace {

QStringList arguments(ClipboardSelection selection, QStringList rest)
{
    if (selection == ClipboardSelection::primary)
        rest.prepend(QStringLiteral("--primary"));
    return rest;
}

} // namespace

WlClipboard::WlClipboard()
    : m_copy(QStandardPaths::findExecutable(QStringLiteral("wl-copy")))
    , m_paste(QStandardPaths::findExecutable(QStringLiteral("wl-paste")))
{ }

// The coroutines below touch no member after they first wait, so the clipboard may go away meanwhile.
QCoro::Task<std::optional<QString>> WlClipboard::text(ClipboardSelection selection)
{
    if (m_paste.isEmpty())
        co_return std::nullopt;
    QProcess paste;
    paste.start(m_paste,
        arguments(selection, { QStringLiteral("--no-newline"), QStringLiteral("--type"), QStringLiteral("text") }));
    const bool finished = co_await qCoro(paste).waitForFinished(replyTimeout);
    if (!finished || paste.exitStatus() != QProcess::NormalExit || paste.exitCode() != 0) {
        // Ended here rather than in QProcess's destructor, which would wait for it on the main thread.
        paste.kill();
        co_await qCoro(paste).waitForFinished();
        co_return std::nullopt;
    }
    co_return QString::fromUtf8(paste.readAllStandardOutput());
}

QCoro::Task<> WlClipboard::setText(ClipboardSelection selection, QString text)
{
    // wl-copy leaves a copy of itself behind that serves the text until another client takes the selection.
    QProcess copy;
    copy.start(m_copy, arguments(selection, { QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8") }));
    copy.write(text.toUtf8());
    copy.closeWriteChannel();
    const bool finished = co_await qCoro(copy).waitForFinished(copyTimeout);
    if (!finished) {
        copy.kill();
        co_await qCoro(copy).waitForFinished();
    }
}

} // namespace kavo

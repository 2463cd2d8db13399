#include "wl_clipboard.h"

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

std::optional<QString> WlClipboard::text(ClipboardSelection selection)
{
    if (m_paste.isEmpty())
        return std::nullopt;
    QProcess paste;
    paste.start(m_paste,
        arguments(selection, { QStringLiteral("--no-newline"), QStringLiteral("--type"), QStringLiteral("text") }));
    if (!paste.waitForFinished(int(replyTimeout.count())) || paste.exitStatus() != QProcess::NormalExit
        || paste.exitCode() != 0) {
        paste.kill();
        paste.waitForFinished();
        return std::nullopt;
    }
    return QString::fromUtf8(paste.readAllStandardOutput());
}

void WlClipboard::setText(ClipboardSelection selection, const QString& text)
{
    // wl-copy leaves a copy of itself behind that serves the text until another client takes the selection.
    QProcess copy;
    copy.start(m_copy, arguments(selection, { QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8") }));
    copy.write(text.toUtf8());
    copy.closeWriteChannel();
    if (!copy.waitForFinished(1000)) {
        copy.kill();
        copy.waitForFinished();
    }
}

} // namespace kavo

#include "gui_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kavo {

namespace {

QClipboard::Mode modeOf(ClipboardSelection selection)
{
    return selection == ClipboardSelection::primary ? QClipboard::Selection : QClipboard::Clipboard;
}

} // namespace

GuiClipboard::GuiClipboard(std::unique_ptr<Clipboard> reader)
    : m_reader(std::move(reader))
{ }

QCoro::Task<std::optional<QString>> GuiClipboard::text(ClipboardSelection selection)
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const bool ours
        = selection == ClipboardSelection::primary ? clipboard->ownsSelection() : clipboard->ownsClipboard();
    if (ours) {
        const QString text = clipboard->text(modeOf(selection));
        co_return text.isNull() ? std::nullopt : std::optional(text);
    }
    co_return co_await m_reader->text(selection);
}

QCoro::Task<> GuiClipboard::setText(ClipboardSelection selection, QString text)
{
    QGuiApplication::clipboard()->setText(text, modeOf(selection));
    co_return;
}

bool GuiClipboard::isAvailable()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        && QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace kavo

#include "status_menu.h"

#include "hotkey/hotkey_kind.h"

namespace kavo {

using Action = StatusMenuItem::Action;
using Phase = DictationState::Phase;

QString StatusMenu::statusLine(const State& state)
{
    switch (state.phase) {
    case Phase::recording:
        return tr("Recording... (Esc to cancel)");
    case Phase::working:
        return tr("Transcribing...");
    case Phase::failed:
        return tr("Something went wrong");
    case Phase::idle:
        break;
    }
    if (!state.inputAccess)
        return tr("Input access needed");
    const QString hotkey = HotkeyKinds::label(state.hotkey);
    return state.hotkeyMode == HotkeyMode::hold ? tr("Hold %1 to talk").arg(hotkey)
                                                : tr("Press %1 to talk").arg(hotkey);
}

StatusMenu::Icon StatusMenu::icon(const State& state)
{
    const QString mark = QStringLiteral("audio-lines");
    switch (state.phase) {
    case Phase::recording:
        return { mark, Tone::red };
    case Phase::working:
        return { mark, Tone::blue };
    case Phase::failed:
        return { QStringLiteral("triangle-alert"), Tone::amber };
    case Phase::idle:
        break;
    }
    return { state.inputAccess ? mark : QStringLiteral("mic-off") };
}

QStringList StatusMenu::wrapped(const QString& text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() <= width) {
            line += QLatin1Char(' ') + word;
            continue;
        }
        if (!line.isEmpty())
            lines.append(line);
        while (word.size() > width) {
            lines.append(word.first(width));
            word.remove(0, width);
        }
        line = word;
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

QList<StatusMenuItem> StatusMenu::build(const State& state)
{
    const StatusMenuItem separator;
    QList<StatusMenuItem> menu { { .text = statusLine(state), .enabled = false } };
    for (const QString& line : wrapped(state.message, messageLineLength))
        menu.append({ .text = line, .enabled = false });
    menu.append(separator);

    StatusMenuItem microphone { .text = tr("Microphone: %1").arg(state.inputDeviceName) };
    microphone.submenu.append(
        { .text = tr("System default"), .action = Action::pickMicrophone, .checked = state.inputDeviceID.isEmpty() });
    for (const Input& input : state.inputs) {
        microphone.submenu.append({ .text = input.name,
            .action = Action::pickMicrophone,
            .checked = input.id == state.inputDeviceID,
            .deviceID = input.id });
    }
    menu.append(microphone);
    menu.append(
        { .text = tr("Open Kavo Voice"), .action = Action::showMainWindow, .shortcut = QStringLiteral("Ctrl+O") });
    menu.append({ .text = tr("Settings…"), .action = Action::showSettings, .shortcut = QStringLiteral("Ctrl+,") });
    menu.append({ .text = tr("Set up again"), .action = Action::showOnboarding });
    menu.append({ .text = state.hudVisible ? tr("Hide button") : tr("Show button"), .action = Action::toggleHUD });

    if (!state.lastTranscript.isEmpty()) {
        const QString last = state.lastTranscript.size() > lastTextLength
            ? state.lastTranscript.first(lastTextLength) + QStringLiteral("...")
            : state.lastTranscript;
        menu.append(separator);
        menu.append({ .text = tr("Last text: %1").arg(last), .action = Action::copyLast });
        menu.append({ .text = tr("Insert last text again"), .action = Action::insertLast });
    }

    const auto orUnknown = [](const QString& text) { return text.isEmpty() ? QStringLiteral("?") : text; };
    menu.append(separator);
    menu.append({ .text = QStringLiteral("Kavo Voice %1 (%2)").arg(orUnknown(state.version), orUnknown(state.build)),
        .enabled = false });
    menu.append({ .text = tr("Check for updates"), .action = Action::checkForUpdates });
    menu.append({ .text = tr("Open logs"), .action = Action::openLog });
    menu.append({ .text = tr("Quit"), .action = Action::quit, .shortcut = QStringLiteral("Ctrl+Q") });
    return menu;
}

} // namespace kavo

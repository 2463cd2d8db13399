#include "command_line.h"

#include "store/interface_language.h"
#include "store/settings.h"

#include <QLocale>

#include <cstdio>

namespace kavo::cli {

void printUsage(QTextStream& stream)
{
    stream << "Usage: kavo-voice [COMMAND]\n"
              "\n"
              "Without a command the desktop application starts.\n"
              "\n"
              "Commands:\n"
              "  config [--show-key]              print the effective settings as JSON\n"
              "  dictate [--seconds N] [--type] [--note ID]\n"
              "                                   record until Enter, Ctrl+C or N seconds, transcribe with\n"
              "                                   your settings and print the text; --type also types it\n"
              "                                   into the focused window, --note appends it to a note\n"
              "  history [--json] [--limit N]     list the dictation history, newest first\n"
              "  hotkey watch [--seconds N]       print start/stop/cancel/toggle as the hotkey fires\n"
              "  mic list                         list the microphones; * marks the chosen one\n"
              "  mic test [--noise-reduction] [--seconds N]\n"
              "                                   show the microphone's level until Enter\n"
              "  mic record FILE [--seconds N] [--noise-reduction]\n"
              "                                   record a WAV file until Enter or N seconds\n"
              "  serve [--port N] [--plain-port N] [--token T] [--type]\n"
              "                                   run the phone link without the desktop application: print\n"
              "                                   the phone's address and its QR code, and transcribe what\n"
              "                                   the phone sends into History; --type also types it into\n"
              "                                   the focused window; --plain-port adds the HTTP port for\n"
              "                                   phone shortcuts\n"
              "  snippets expand TEXT             print TEXT after snippet expansion\n"
              "  transcribe [--note] [--json] FILE...\n"
              "                                   transcribe audio files with your settings; --note also\n"
              "                                   classifies each as a note (kind, title, folder)\n"
              "  help                             show this help\n"
              "\n"
              "Commands for the running application (to bind to desktop shortcuts):\n"
              "  toggle                           start dictating, or stop and transcribe\n"
              "  start                            start dictating\n"
              "  stop                             stop dictating and transcribe\n"
              "  cancel                           stop dictating and discard the recording\n"
              "  show                             show the main window\n";
}

Config loadSettings()
{
    Settings settings;
    settings.load();
    return settings.config();
}

int refuse(QTextStream& err, const QString& command, const QString& message)
{
    err << "kavo-voice " << command << ": " << message << '\n';
    printUsage(err);
    return usageError;
}

int run(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    InterfaceLanguage::install(InterfaceLanguage::resolve(QLocale::system().uiLanguages()));

    if (arguments.isEmpty()) {
        printUsage(out);
        return 0;
    }
    const QString& command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("config"))
        return runConfig(rest, out, err);
    if (command == QLatin1String("dictate"))
        return runDictate(rest, out, err);
    if (command == QLatin1String("history"))
        return runHistory(rest, out, err);
    if (command == QLatin1String("hotkey"))
        return runHotkey(rest, out, err);
    if (command == QLatin1String("mic"))
        return runMic(rest, out, err);
    if (command == QLatin1String("serve"))
        return runServe(rest, out, err);
    if (command == QLatin1String("snippets"))
        return runSnippets(rest, out, err);
    if (command == QLatin1String("transcribe"))
        return runTranscribe(rest, out, err);
    if (const std::optional<RemoteRequest> request = remoteRequest(command))
        return runRemote(command, *request, rest, err);
    if (command == QLatin1String("help") || command == QLatin1String("--help") || command == QLatin1String("-h")) {
        printUsage(out);
        return 0;
    }
    err << "kavo-voice: unknown command \"" << command << "\"\n";
    printUsage(err);
    return usageError;
}

} // namespace kavo::cli

#include "command_line.h"

#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "phone/local_addresses.h"
#include "phone/phone_server.h"
#include "phone/phone_token.h"
#include "phone/qr_code.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/session_backends.h"
#include "session/termination_signals.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "transcription/gemini_error.h"

#include <QEventLoop>

namespace kavo::cli {
namespace {

struct Options
{
    std::optional<quint16> port;
    std::optional<quint16> plainPort;
    std::optional<QString> token;
    bool type = false;
};

QString tr(const char* text)
{
    return QCoreApplication::translate("ServeCommand", text);
}

std::optional<quint16> parsePort(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    return ok && port <= 65535 ? std::optional(quint16(port)) : std::nullopt;
}

std::optional<Options> parse(const QStringList& arguments, QTextStream& err)
{
    const QString command = QStringLiteral("serve");
    Options options;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        const QString value = arguments.value(index + 1);
        if (argument == QLatin1String("--type")) {
            options.type = true;
        } else if (argument == QLatin1String("--port") || argument == QLatin1String("--plain-port")) {
            ++index;
            const std::optional<quint16> port = parsePort(value);
            if (!port) {
                refuse(err, command, argument + QStringLiteral(" needs a port number from 0 to 65535"));
                return std::nullopt;
            }
            (argument == QLatin1String("--port") ? options.port : options.plainPort) = port;
        } else if (argument == QLatin1String("--token")) {
            ++index;
            if (value.isEmpty()) {
                refuse(err, command, QStringLiteral("--token needs a value"));
                return std::nullopt;
            }
            options.token = value;
        } else {
            refuse(err, command, QStringLiteral("unknown argument \"%1\"").arg(argument));
            return std::nullopt;
        }
    }
    return options;
}

// An upload's transcript, printed as it comes; a failure is printed too and goes back to the phone.
QCoro::Task<QString> transcribe(DictationFlow& flow, QTextStream& out, QTextStream& err, QByteArray data, QString type)
{
    try {
        QString text = co_await flow.transcribeFromPhone(std::move(data), std::move(type));
        out << text << '\n';
        out.flush();
        co_return text;
    } catch (const std::exception& failure) {
        err << tr("Not transcribed: ") << errorDescription(failure) << '\n';
        err.flush();
        throw;
    }
}

void printLinks(const PhoneServer& server, bool plain, QTextStream& out)
{
    const QStringList addresses = LocalAddresses::current();
    if (plain)
        out << tr("Phone server listening on port %1 (HTTPS) and %2 (HTTP).")
                   .arg(server.port())
                   .arg(server.plainPort());
    else
        out << tr("Phone server listening on port %1 (HTTPS).").arg(server.port());
    out << '\n';
    if (addresses.isEmpty()) {
        out << tr("No network address to show: connect this computer to the phone's Wi-Fi network.") << '\n';
        out.flush();
        return;
    }
    QStringList phoneLinks;
    for (const QString& address : addresses)
        phoneLinks << QStringLiteral("https://%1:%2/?t=%3").arg(address).arg(server.port()).arg(server.token());
    out << '\n' << tr("Open on the phone, on the same Wi-Fi network:") << '\n';
    for (const QString& link : phoneLinks)
        out << "  " << link << '\n';
    if (plain) {
        out << '\n' << tr("For phone shortcuts (POST a recording, read \"text\" from the JSON reply):") << '\n';
        for (const QString& address : addresses)
            out << "  "
                << QStringLiteral("http://%1:%2/audio?t=%3").arg(address).arg(server.plainPort()).arg(server.token())
                << '\n';
    }
    if (const std::optional<QRCode> code = QRCode::make(phoneLinks.first()))
        out << '\n' << code->terminalText();
    out << '\n'
        << tr("The phone's browser warns about the certificate once: it is this computer's own. Press Ctrl+C to stop.")
        << '\n';
    out.flush();
}

} // namespace

int runServe(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options = parse(arguments, err);
    if (!options)
        return usageError;

    DataStores stores;
    stores.load();
    Settings& settings = stores.settings;
    if (!options->token && settings.phoneToken().isEmpty()) {
        settings.setPhoneToken(PhoneToken::make());
        settings.save();
    }
    const QString token = options->token.value_or(settings.phoneToken());
    const quint16 port = options->port.value_or(quint16(qBound(0, settings.phonePort(), 65535)));
    std::optional<quint16> plainPort = options->plainPort;
    if (!plainPort && settings.phonePlainEnabled())
        plainPort = quint16(qBound(0, settings.phonePlainPort(), 65535));
    // Typing what the phone sends is this run's choice, not a change of the settings.
    settings.setPhoneInserts(options->type);

    AudioRecorder recorder;
    TextInjector injector(options->type ? SessionBackends::injectionBackend() : nullptr);
    Toasts toasts;
    DictationFlow flow(stores, toasts, recorder, injector);
    PhoneServer server;
    server.reportPhaseOf(flow.state());
    server.setAudioHandler(
        [&](QByteArray data, QString type) { return transcribe(flow, out, err, std::move(data), std::move(type)); });

    QEventLoop loop;
    int status = 0;
    bool listening = false;
    QObject::connect(&server, &PhoneServer::stateChanged, &loop, [&] {
        const QString problem = !server.lastError().isEmpty() ? server.lastError() : server.plainError();
        if (!problem.isEmpty()) {
            err << problem << '\n';
            status = 1;
            loop.quit();
        } else if (!listening && server.isRunning() && (!plainPort || server.plainIsRunning())) {
            listening = true;
            printLinks(server, plainPort.has_value(), out);
        }
    });
    const TerminationSignals signals;
    QObject::connect(&signals, &TerminationSignals::received, &loop, &QEventLoop::quit);
    server.start(port, plainPort, token);
    loop.exec();
    server.stop();
    return status;
}

} // namespace kavo::cli

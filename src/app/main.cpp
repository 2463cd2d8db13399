#include "app_delegate.h"

#include "audio/codec/ffmpeg_support.h"
#include "cli/command_line.h"
#include "platform/dbus/single_instance.h"
#include "store/interface_language.h"
#include "store/log.h"
#include "ui/kavo/qml_engine.h"

#include <QApplication>
#include <QLocale>

#include <QCoroTask>

#include <iostream>

namespace {

void describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("kavo-voice"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KAVO_VERSION));
}

// The desktop application: one per session. A second start shows the first one's window and ends.
int runApplication(int argc, char* argv[])
{
    // The floating pill needs what only X11 offers (a window that stays on top, never takes the focus and lets
    // clicks through its shadow): Wayland sessions run the windows through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    kavo::useSoftwareRendering();
    describeApplication();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Kavo Voice"));
    QGuiApplication::setDesktopFileName(QStringLiteral("uz.kavo.KavoVoice"));
    QApplication::setQuitOnLastWindowClosed(false);
    kavo::InterfaceLanguage::install(kavo::InterfaceLanguage::resolve(QLocale::system().uiLanguages()));

    kavo::InstanceStart instance = QCoro::waitFor(kavo::startInstance(QDBusConnection::sessionBus()));
    if (instance.otherInstanceRuns)
        return 0;
    if (!instance.error.isEmpty())
        std::cerr << qPrintable(instance.error) << '\n';

    // This run's log starts before the delegate reads the data files, so that a file it sets aside is told there.
    kavo::Log::reset();
    kavo::Log::write(QStringLiteral("launched, bundle=") + QCoreApplication::applicationFilePath());
    kavo::AppDelegate delegate(std::move(instance.remoteControl));
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &kavo::AppDelegate::shutDown);
    delegate.launch();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    kavo::quietFfmpegLogging();
    if (argc < 2)
        return runApplication(argc, argv);
    QCoreApplication app(argc, argv);
    describeApplication();
    return kavo::cli::run(QCoreApplication::arguments().mid(1));
}

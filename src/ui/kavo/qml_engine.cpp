#include "qml_engine.h"

#include "icon_provider.h"

#include <QQmlEngine>
#include <QQuickWindow>

// Generated with the module; calling it links the module's type registrations into the program.
void qml_register_types_Kavo();

namespace kavo {

void prepareQmlEngine(QQmlEngine& engine)
{
    qml_register_types_Kavo();
    // Qt 6.4 does not look there by itself yet.
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.addImageProvider(QString(IconProvider::providerId), new IconProvider);
}

void useSoftwareRendering()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace kavo

#pragma once

#include "support/data_folder.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"

#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

// Windows of the interface's QML in tests: set up as the application sets up its engine, shown and driven by keys.
namespace kavo::test {

/// Points the data folder at a temporary one and prepares the faces, the tokens and `engine` as the application does.
inline void prepareInterface(QQmlEngine& engine, Tokens& tokens)
{
    useTemporaryDataFolder();
    Typeface::registerFaces();
    Tokens::setInstance(&tokens);
    prepareQmlEngine(engine);
}

/// Shows the window that `qml` declares after importing QtQuick, Kavo and `module`, with `view` as its property
/// "view".
inline std::unique_ptr<QQuickWindow> showWindow(
    QQmlEngine& engine, const QByteArray& module, const QByteArray& qml, QObject* view)
{
    QQmlComponent component(&engine);
    component.setData("import QtQuick\nimport Kavo\nimport " + module + '\n' + qml, {});
    if (!component.isReady())
        qFatal("%s", qPrintable(component.errorString()));
    auto window = std::unique_ptr<QQuickWindow>(qobject_cast<QQuickWindow*>(
        component.createWithInitialProperties({ { QStringLiteral("view"), QVariant::fromValue(view) } })));
    if (!window)
        qFatal("%s", qPrintable(component.errorString()));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the window was not shown");
    return window;
}

/// A window the size of the main window's screen area that shows `screen` of `module` over `view`.
inline std::unique_ptr<QQuickWindow> showScreen(
    QQmlEngine& engine, const QByteArray& module, const QByteArray& screen, QObject* view)
{
    return showWindow(engine, module,
        "Window { id: window; required property QtObject view; width: 776; height: 680; color: Tokens.bgApp; " + screen
            + " { anchors.fill: parent; view: window.view } }",
        view);
}

/// The name a screen reader reads for the item with the keyboard focus.
inline QString focusedName(QQuickWindow& window)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.activeFocusItem());
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

/// The names of the controls that Tab reaches, in order, until one comes round again; at most `presses` of them.
inline QStringList tabOrder(QQuickWindow& window, int presses)
{
    QStringList names;
    for (int press = 0; press < presses; ++press) {
        QTest::keyClick(&window, Qt::Key_Tab);
        if (names.contains(focusedName(window)))
            break;
        names << focusedName(window);
    }
    return names;
}

/// Moves the keyboard focus with Tab to the control of that accessible name, as a keyboard user would.
inline void tabTo(QQuickWindow& window, const QString& name, int presses = 40)
{
    for (int press = 0; press < presses && focusedName(window) != name; ++press)
        QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(focusedName(window), name);
}

/// Reaches the control by Tab and presses it with Space, as a keyboard user does.
inline void pressKey(QQuickWindow& window, const QString& name)
{
    tabTo(window, name);
    QTest::keyClick(&window, Qt::Key_Space);
}

} // namespace kavo::test

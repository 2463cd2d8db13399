#pragma once

#include <QDir>
#include <QQuickWindow>
#include <QString>
#include <QTest>

namespace kavo::test {

/// Saves what `window` shows as NAME.png among the screenshots people look at (the test's KAVO_SCREENSHOT_DIR).
inline void screenshot(QQuickWindow& window, const QString& name)
{
    QDir().mkpath(QStringLiteral(KAVO_SCREENSHOT_DIR));
    QVERIFY(window.grabWindow().save(QStringLiteral(KAVO_SCREENSHOT_DIR "/%1.png").arg(name)));
}

} // namespace kavo::test

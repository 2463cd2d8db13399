#pragma once

#include <QProcess>
#include <QString>

#include <chrono>

namespace kavo::test {

/// Drives the Qt text-field program (tests/support/text_target_program.cpp) on the test display: the application
/// that text is delivered to, and another client of the X selections.
class TextTarget
{
public:
    explicit TextTarget(const QString& program);
    ~TextTarget();
    TextTarget(const TextTarget&) = delete;
    TextTarget& operator=(const TextTarget&) = delete;

    /// Starts the program and waits for its window; empty on success, else what went wrong.
    QString start();
    /// Gives the window the keyboard focus, makes it the active window as a window manager would, and waits until the
    /// program knows it.
    bool focus();
    QString text();
    void clear();
    /// The clipboard's (or the primary selection's) text as a Qt application reads it.
    QString selection(bool primary = false);
    /// Makes the program the owner of the clipboard (or the primary selection) with `text`.
    void setSelection(const QString& text, bool primary = false);
    /// Shows Return presses as "[Return]", "[Shift+Return]" or "[Alt+Return]" in the text.
    void markReturns(bool on);
    /// Waits up to `timeout` for the field to hold `expected`; the last text seen.
    QString waitForText(const QString& expected, std::chrono::milliseconds timeout = std::chrono::seconds(3));

private:
    QString request(const QByteArray& command, const QByteArray& answer);
    QByteArray awaitLine(const QByteArray& answer, std::chrono::milliseconds timeout);

    QString m_program;
    QProcess m_process;
    QByteArray m_output;
    unsigned long m_window = 0;
};

/// The viewable top-level windows whose WM_CLASS instance or class name is `name`, bottom first.
QList<unsigned long> windowsOfClass(const QString& name);
/// The first of them, or 0.
unsigned long findWindowOfClass(const QString& name);
/// Sets the X keyboard focus to `window` and waits until the server has done it.
void focusWindow(unsigned long window);

} // namespace kavo::test

#pragma once

#include "delivery/injection_backend.h"
#include "delivery/waiting.h"
#include "store/config.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace kavo {

/// Puts a finished transcript where the text cursor is in the focused application: pasted through the clipboard
/// (whose previous text is put back afterwards) or typed as synthetic keys. Every wait happens on the event loop, so
/// the main thread goes on serving the user meanwhile. Main thread only.
class TextInjector : public QObject
{
    Q_OBJECT

public:
    static constexpr int charactersPerChunk = 16;
    static constexpr auto pauseAfterChunk = std::chrono::milliseconds(4);
    static constexpr auto pauseAfterReturn = std::chrono::milliseconds(20);
    /// From setting the clipboard to the paste chord, and from the chord to restoring the clipboard.
    static constexpr auto chordDelay = std::chrono::milliseconds(50);
    static constexpr auto restoreDelay = std::chrono::milliseconds(400);

    /// A null backend (no usable session) makes every insertion a no-op.
    explicit TextInjector(std::unique_ptr<InjectionBackend> backend, QObject* parent = nullptr);
    ~TextInjector() override;

    /// Delivers `text` trimmed of white space at both ends; nothing when nothing is left. Typing makes line breaks
    /// as `newline` says and completes after the last key; pasting completes once the paste chord is sent, and puts
    /// the clipboard back on its own about 0.4 s later. Insertions take turns in the order of the calls: each starts
    /// once the one before has completed.
    QCoro::Task<> insert(QString text, InsertMethod method, NewlineMode newline);
    /// From the call that asks for a paste until the clipboard has been put back, or left with the transcript when
    /// the paste keys could not be sent; `pasteFinished` follows.
    bool isPasting() const { return m_pastesAhead > 0 || !m_saved.empty(); }

    /// `text` cut into pieces of `size` user-perceived characters (the last one shorter); none for an empty text.
    static QStringList chunked(const QString& text, int size);
    /// The lines of `text`, whichever of "\r\n", "\r" and "\n" ends them; one empty line for an empty text.
    static QStringList lines(const QString& text);

Q_SIGNALS:
    void pasteFinished();
    /// The paste keys could not be sent, so the transcript stays on the clipboard for the user to paste. Said the
    /// first time only (the application keeps one injector for its whole run), with the words to show the user.
    void pasteKeysUnavailable(const QString& title, const QString& detail);

private:
    auto passTurnOnExit();
    QCoro::Task<> paste(QString text);
    void leaveOnClipboard();
    QCoro::Task<> restoreClipboard();
    QCoro::Task<> type(QString text, NewlineMode newline);

    std::unique_ptr<InjectionBackend> m_backend;
    TurnQueue m_turns;
    QTimer m_restoreTimer;
    /// Pastes asked for whose chord is still to be sent.
    int m_pastesAhead = 0;
    /// What the selections held before the pending paste, while the chord or the restoring is still to come.
    std::map<ClipboardSelection, std::optional<QString>> m_saved;
    bool m_toldPasteKeysUnavailable = false;
};

} // namespace kavo

#include "text_injector.h"

#include "store/log.h"

#include <QCoroTimer>
#include <QPointer>
#include <QScopeGuard>
#include <QTextBoundaryFinder>

namespace kavo {

namespace {

/// What typing one text takes: pieces of characters and, between lines, Return presses (an empty piece).
QStringList keystrokes(const QString& text, NewlineMode newline)
{
    const QStringList lines = TextInjector::lines(text);
    if (newline == NewlineMode::space)
        return TextInjector::chunked(lines.join(u' '), TextInjector::charactersPerChunk);
    QStringList strokes;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (index > 0)
            strokes.append(QString());
        strokes.append(TextInjector::chunked(lines[index], TextInjector::charactersPerChunk));
    }
    return strokes;
}

} // namespace

TextInjector::TextInjector(std::unique_ptr<InjectionBackend> backend, QObject* parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(restoreDelay);
    connect(&m_restoreTimer, &QTimer::timeout, this, &TextInjector::restoreClipboard);
}

TextInjector::~TextInjector() = default;

// Whichever way the coroutine holding the turn ends (an exception in a backend included), the ones waiting go on.
auto TextInjector::passTurnOnExit()
{
    return qScopeGuard([self = QPointer<TextInjector>(this)] {
        if (self)
            self->m_turns.pass();
    });
}

QCoro::Task<> TextInjector::insert(QString text, InsertMethod method, NewlineMode newline)
{
    const QString trimmed = text.trimmed();
    if (!m_backend || trimmed.isEmpty())
        co_return;
    const bool typing = method == InsertMethod::type && m_backend->typist();
    if (method == InsertMethod::type && !typing)
        Log::write(QStringLiteral("typing is not available in Wayland sessions; pasting instead"));
    if (!typing)
        ++m_pastesAhead;
    const QPointer<TextInjector> self(this);
    co_await m_turns.take();
    if (!self)
        co_return;
    const auto passTurn = passTurnOnExit();
    if (typing)
        co_await type(trimmed, newline);
    else
        co_await paste(trimmed);
}

QStringList TextInjector::chunked(const QString& text, int size)
{
    QStringList pieces;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    int count = 0;
    while (graphemes.toNextBoundary() != -1) {
        if (++count == size) {
            pieces.append(text.mid(start, graphemes.position() - start));
            start = graphemes.position();
            count = 0;
        }
    }
    if (start < text.size())
        pieces.append(text.mid(start));
    return pieces;
}

QStringList TextInjector::lines(const QString& text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    return unified.split(u'\n');
}

QCoro::Task<> TextInjector::paste(QString text)
{
    const QPointer<TextInjector> self(this);
    // The clipboard this paste fills must not be put back under it by the paste before.
    m_restoreTimer.stop();
    const PasteChord chord = m_backend->pasteChord();
    std::vector<ClipboardSelection> selections { ClipboardSelection::clipboard };
    if (chord == PasteChord::shiftInsert)
        selections.push_back(ClipboardSelection::primary);
    for (const ClipboardSelection selection : selections) {
        // While an earlier paste is still under way the selection holds its transcript; what it saved is the
        // user's text.
        if (!m_saved.contains(selection)) {
            std::optional<QString> saved = co_await m_backend->clipboard().text(selection);
            if (!self)
                co_return;
            m_saved[selection] = std::move(saved);
        }
        co_await m_backend->clipboard().setText(selection, text);
        if (!self)
            co_return;
    }
    co_await QCoro::sleepFor(chordDelay);
    if (!self)
        co_return;
    co_await m_backend->waitForModifiersReleased();
    if (!self)
        co_return;
    const bool sent = co_await m_backend->sendPasteChord(chord);
    if (!self)
        co_return;
    --m_pastesAhead;
    if (sent)
        m_restoreTimer.start();
    else
        leaveOnClipboard();
}

// Putting the old text back would leave the transcript nowhere but in History.
void TextInjector::leaveOnClipboard()
{
    m_saved.clear();
    Log::write(QStringLiteral("the paste keys could not be sent; the text stays on the clipboard"));
    if (!m_toldPasteKeysUnavailable) {
        m_toldPasteKeysUnavailable = true;
        Q_EMIT pasteKeysUnavailable(tr("The text is on the clipboard"),
            tr("Paste it with Ctrl+V. To let Kavo Voice paste by itself, give it access to /dev/uinput: install the "
               "udev rule that comes with it."));
    }
    if (!isPasting())
        Q_EMIT pasteFinished();
}

QCoro::Task<> TextInjector::restoreClipboard()
{
    const QPointer<TextInjector> self(this);
    co_await m_turns.take();
    if (!self)
        co_return;
    const auto passTurn = passTurnOnExit();
    // A paste that had its turn meanwhile has either started the timer again for its own text, or left its text on
    // the clipboard.
    if (!m_restoreTimer.isActive() && !m_saved.empty()) {
        const auto saved = m_saved;
        for (const auto& entry : saved) {
            // A selection that held no text keeps the transcript.
            if (!entry.second)
                continue;
            co_await m_backend->clipboard().setText(entry.first, *entry.second);
            if (!self)
                co_return;
        }
        m_saved.clear();
        if (!isPasting())
            Q_EMIT pasteFinished();
    }
}

QCoro::Task<> TextInjector::type(QString text, NewlineMode newline)
{
    const QPointer<TextInjector> self(this);
    co_await m_backend->waitForModifiersReleased();
    if (!self)
        co_return;
    for (const QString& stroke : keystrokes(text, newline)) {
        KeyTypist& typist = *m_backend->typist();
        if (stroke.isEmpty())
            co_await typist.pressReturn(newline);
        else
            co_await typist.typeChunk(stroke);
        if (!self)
            co_return;
        co_await QCoro::sleepFor(stroke.isEmpty() ? pauseAfterReturn : pauseAfterChunk);
        if (!self)
            co_return;
    }
    m_backend->typist()->finish();
}

} // namespace kavo

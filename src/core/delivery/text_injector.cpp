#include "text_injector.h"

#include "store/log.h"
#include "store/raw_value.h"

#include <QTextBoundaryFinder>

#include <thread>

namespace kavo {

TextInjector::TextInjector(std::unique_ptr<InjectionBackend> backend, QObject* parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(restoreDelay);
    connect(&m_restoreTimer, &QTimer::timeout, this, &TextInjector::restoreClipboard);
}

TextInjector::~TextInjector() = default;

QCoro::Task<> TextInjector::insert(QString text, InsertMethod method, NewlineMode newline)
{
    const QString trimmed = text.trimmed();
    if (!m_backend || trimmed.isEmpty())
        co_return;
    if (method == InsertMethod::type) {
        if (m_backend->typist()) {
            typeText(trimmed, newline);
            co_return;
        }
        Log::write(QStringLiteral("typing is not available in Wayland sessions; pasting instead"));
    }
    pasteText(trimmed);
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

void TextInjector::pasteText(const QString& text)
{
    const PasteChord chord = m_backend->pasteChord();
    std::vector<ClipboardSelection> selections { ClipboardSelection::clipboard };
    if (chord == PasteChord::shiftInsert)
        selections.push_back(ClipboardSelection::primary);
    Clipboard& clipboard = m_backend->clipboard();
    for (const ClipboardSelection selection : selections) {
        // While an earlier paste is still under way the selection holds its transcript; what it saved is the
        // user's text.
        if (!m_saved.contains(selection))
            m_saved[selection] = clipboard.text(selection);
        clipboard.setText(selection, text);
    }
    m_restoreTimer.stop();
    QTimer::singleShot(chordDelay, this, [this, chord] { sendPasteChord(chord); });
}

void TextInjector::sendPasteChord(PasteChord chord)
{
    m_backend->waitForModifiersReleased();
    m_backend->sendPasteChord(chord);
    m_restoreTimer.start();
}

void TextInjector::restoreClipboard()
{
    Clipboard& clipboard = m_backend->clipboard();
    for (const auto& [selection, text] : m_saved) {
        // A selection that held no text keeps the transcript.
        if (text)
            clipboard.setText(selection, *text);
    }
    m_saved.clear();
    Q_EMIT pasteFinished();
}

void TextInjector::typeText(const QString& text, NewlineMode newline)
{
    KeyTypist& typist = *m_backend->typist();
    m_backend->waitForModifiersReleased();
    const QStringList all = lines(text);
    for (qsizetype index = 0; index < all.size(); ++index) {
        if (index > 0 && newline == NewlineMode::space) {
            typeCharacters(typist, QStringLiteral(" "));
        } else if (index > 0) {
            typist.pressReturn(newline);
            std::this_thread::sleep_for(pauseAfterReturn);
        }
        typeCharacters(typist, all[index]);
    }
    typist.finish();
}

void TextInjector::typeCharacters(KeyTypist& typist, const QString& text)
{
    for (const QString& chunk : chunked(text, charactersPerChunk)) {
        typist.typeChunk(chunk);
        std::this_thread::sleep_for(pauseAfterChunk);
    }
}

} // namespace kavo

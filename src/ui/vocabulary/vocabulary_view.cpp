#include "vocabulary_view.h"

#include "format/format.h"
#include "state/toasts.h"
#include "store/data_actions.h"
#include "store/settings.h"

#include <QDir>
#include <QStandardPaths>

namespace kavo {

using Tone = Toasts::Tone;

VocabularyView::VocabularyView(Settings& settings, DataActions& dataActions, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_dataActions(dataActions)
    , m_toasts(toasts)
    , m_words(settings)
    , m_snippets(settings)
{
    connect(&settings, &Settings::vocabularyChanged, this, [this] {
        if (!hasWords())
            setClearAsked(false);
        Q_EMIT wordsChanged();
    });
    connect(&settings, &Settings::snippetsChanged, this, &VocabularyView::snippetsChanged);
}

void VocabularyView::setTab(Tab tab)
{
    if (tab == m_tab)
        return;
    m_tab = tab;
    setClearAsked(false);
    Q_EMIT tabChanged();
}

QStringList VocabularyView::languageNames()
{
    QStringList names;
    for (const VocabularyWord::Language& language : VocabularyWord::languages())
        names << language.label;
    return names;
}

void VocabularyView::setLanguageIndex(int index)
{
    if (index == m_languageIndex || index < 0 || index >= VocabularyWord::languages().size())
        return;
    m_languageIndex = index;
    Q_EMIT languageChanged();
}

bool VocabularyView::hasWords() const
{
    return !m_settings.vocabulary().isEmpty();
}

QString VocabularyView::wordCount() const
{
    return Format::wordCount(m_settings.vocabulary().size());
}

bool VocabularyView::hasSnippets() const
{
    return !m_settings.snippets().isEmpty();
}

QString VocabularyView::emptyWordsText()
{
    return tr("The vocabulary is empty. Add names, terms and brands — Kavo Voice will always spell them right.");
}

QString VocabularyView::emptySnippetsText()
{
    return tr("No snippets yet. Add a short phrase and the full text it stands for.");
}

QUrl VocabularyView::exportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QUrl::fromLocalFile(QDir(documents).exists() ? documents : QDir::homePath());
}

QUrl VocabularyView::exportFile()
{
    return QUrl::fromLocalFile(QDir(exportFolder().toLocalFile()).filePath(DataActions::wordListName()));
}

bool VocabularyView::addWords(const QString& input)
{
    if (input.trimmed().isEmpty())
        return false;
    const QList<VocabularyWord> added = VocabularyWord::adding(
        input, VocabularyWord::languages().value(m_languageIndex).code, m_settings.vocabulary());
    if (added.isEmpty()) {
        m_toasts.show(VocabularyWord::alreadyPresentMessage(), QString(), Tone::info);
        return true;
    }
    m_settings.setVocabulary(added + m_settings.vocabulary());
    m_toasts.show(VocabularyWord::addedMessage(), QString(), Tone::success);
    return true;
}

void VocabularyView::removeWord(const QString& id)
{
    QList<VocabularyWord> words = m_settings.vocabulary();
    if (words.removeIf([wordId = QUuid(id)](const VocabularyWord& word) { return word.id == wordId; }) > 0)
        m_settings.setVocabulary(words);
}

void VocabularyView::setClearAsked(bool asked)
{
    if (asked == m_clearAsked)
        return;
    m_clearAsked = asked;
    Q_EMIT clearAskedChanged();
}

void VocabularyView::askToClear()
{
    setClearAsked(hasWords());
}

void VocabularyView::cancelClear()
{
    setClearAsked(false);
}

void VocabularyView::clearWords()
{
    setClearAsked(false);
    m_settings.setVocabulary({});
}

void VocabularyView::showNothingToExport()
{
    m_toasts.show(tr("Nothing to export"), tr("The vocabulary is empty."), Tone::info);
}

void VocabularyView::askToExport()
{
    if (canExport())
        Q_EMIT exportFileWanted();
    else
        showNothingToExport();
}

void VocabularyView::exportWords(const QUrl& file)
{
    // The vocabulary may have been emptied while the file chooser was open.
    if (!canExport()) {
        showNothingToExport();
        return;
    }
    const QString path = file.toLocalFile();
    if (path.isEmpty())
        return;
    if (const std::optional<QString> name = m_dataActions.exportWords(path)) {
        m_toasts.show(
            tr("Exported"), *name + u" · "_qs + Format::wordCount(m_settings.vocabulary().size()), Tone::success);
    }
}

void VocabularyView::importWords(const QUrl& file)
{
    const QString path = file.toLocalFile();
    if (path.isEmpty())
        return;
    const std::optional<int> added = m_dataActions.importWords(path);
    if (!added)
        return;
    if (*added > 0)
        m_toasts.show(tr("Imported"), tr("%1 new words", nullptr, *added).arg(Format::number(*added)), Tone::success);
    else
        m_toasts.show(tr("Imported"), tr("No new words"), Tone::info);
}

void VocabularyView::newSnippet()
{
    // At the end: expansion breaks ties between equally long triggers by stored order, so the snippets the user
    // already has keep their precedence, and the list reads in the order it was made.
    m_settings.setSnippets(m_settings.snippets() + QList<Snippet> { Snippet { QUuid::createUuid(), {}, {} } });
    Q_EMIT triggerFocusWanted(int(m_settings.snippets().size()) - 1);
}

template <typename Change> void VocabularyView::changeSnippet(const QString& id, Change change)
{
    QList<Snippet> snippets = m_settings.snippets();
    const QUuid snippetId(id);
    for (Snippet& snippet : snippets) {
        if (snippet.id != snippetId)
            continue;
        const Snippet before = snippet;
        change(snippet);
        if (!(snippet == before))
            m_settings.setSnippets(snippets);
        return;
    }
}

void VocabularyView::setTrigger(const QString& id, const QString& trigger)
{
    changeSnippet(id, [&](Snippet& snippet) { snippet.trigger = trigger; });
}

void VocabularyView::setText(const QString& id, const QString& text)
{
    changeSnippet(id, [&](Snippet& snippet) { snippet.text = text; });
}

void VocabularyView::removeSnippet(const QString& id)
{
    QList<Snippet> snippets = m_settings.snippets();
    if (snippets.removeIf([snippetId = QUuid(id)](const Snippet& snippet) { return snippet.id == snippetId; }) > 0)
        m_settings.setSnippets(snippets);
}

} // namespace kavo

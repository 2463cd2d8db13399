#pragma once

#include "ui/vocabulary/snippet_model.h"
#include "ui/vocabulary/vocabulary_model.h"

#include <QObject>
#include <QUrl>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class DataActions;
class Settings;
class Toasts;

/// The Vocabulary screen: its tab, the words and snippets, and what the user does with them. Every change is
/// written into the settings, which save it; outcomes are told with toasts.
class VocabularyView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the vocabulary screen's state")
    Q_PROPERTY(Tab tab READ tab WRITE setTab NOTIFY tabChanged)
    // QML sees the tab by its place: dictionary, snippets.
    Q_PROPERTY(int tabIndex READ tabIndex WRITE setTabIndex NOTIFY tabChanged)
    Q_PROPERTY(QStringList languageNames READ languageNames CONSTANT)
    Q_PROPERTY(int languageIndex READ languageIndex WRITE setLanguageIndex NOTIFY languageChanged)
    Q_PROPERTY(kavo::VocabularyModel* words READ words CONSTANT)
    Q_PROPERTY(kavo::SnippetModel* snippets READ snippets CONSTANT)
    Q_PROPERTY(bool hasWords READ hasWords NOTIFY wordsChanged)
    Q_PROPERTY(QString wordCount READ wordCount NOTIFY wordsChanged)
    Q_PROPERTY(bool canExport READ canExport NOTIFY wordsChanged)
    Q_PROPERTY(bool clearAsked READ isClearAsked NOTIFY clearAskedChanged)
    Q_PROPERTY(bool hasSnippets READ hasSnippets NOTIFY snippetsChanged)
    Q_PROPERTY(QString emptyWordsText READ emptyWordsText CONSTANT)
    Q_PROPERTY(QString emptySnippetsText READ emptySnippetsText CONSTANT)
    Q_PROPERTY(QUrl exportFolder READ exportFolder CONSTANT)
    Q_PROPERTY(QUrl exportFile READ exportFile CONSTANT)

public:
    enum class Tab { dictionary, snippets };
    Q_ENUM(Tab)

    VocabularyView(Settings& settings, DataActions& dataActions, Toasts& toasts, QObject* parent = nullptr);

    Tab tab() const { return m_tab; }
    void setTab(Tab tab);
    int tabIndex() const { return int(m_tab); }
    void setTabIndex(int index) { setTab(Tab(index)); }

    /// The languages new words can be tied to, "All languages" first.
    static QStringList languageNames();
    /// The language that words added by typing are tied to, by its place in languageNames().
    int languageIndex() const { return m_languageIndex; }
    void setLanguageIndex(int index);

    VocabularyModel* words() { return &m_words; }
    SnippetModel* snippets() { return &m_snippets; }

    bool hasWords() const;
    /// "12 words".
    QString wordCount() const;
    /// Whether there is anything to write into a word list.
    bool canExport() const { return hasWords(); }
    bool hasSnippets() const;
    static QString emptyWordsText();
    static QString emptySnippetsText();
    /// Where the export's file chooser opens: the documents folder when there is one, else the home folder.
    static QUrl exportFolder();
    /// The file the export proposes: lugat.txt in exportFolder().
    static QUrl exportFile();

    /// Adds the words of a comma-separated input that are not in the vocabulary yet at its front. Returns whether
    /// the input was taken (and the field can be emptied): false only when it holds nothing but white space.
    Q_INVOKABLE bool addWords(const QString& input);
    Q_INVOKABLE void removeWord(const QString& id);

    /// "Clear" asks first; clearWords() then empties the vocabulary, cancelClear() keeps it.
    bool isClearAsked() const { return m_clearAsked; }
    Q_INVOKABLE void askToClear();
    Q_INVOKABLE void cancelClear();
    Q_INVOKABLE void clearWords();

    /// The "Export" button: with words, asks QML for a file (exportFileWanted); without, says there is nothing.
    Q_INVOKABLE void askToExport();
    /// Writes the word list into a local file chosen by the user.
    Q_INVOKABLE void exportWords(const QUrl& file);
    /// Puts the new words of a local word-list file at the front of the vocabulary.
    Q_INVOKABLE void importWords(const QUrl& file);

    /// Appends an empty snippet and asks QML to focus its trigger field.
    Q_INVOKABLE void newSnippet();
    Q_INVOKABLE void setTrigger(const QString& id, const QString& trigger);
    Q_INVOKABLE void setText(const QString& id, const QString& text);
    Q_INVOKABLE void removeSnippet(const QString& id);

Q_SIGNALS:
    void tabChanged();
    void languageChanged();
    void wordsChanged();
    void snippetsChanged();
    void clearAskedChanged();
    /// The export's file chooser should open.
    void exportFileWanted();
    /// The trigger field of the snippet in `row` should take the keyboard focus.
    void triggerFocusWanted(int row);

private:
    void setClearAsked(bool asked);
    void showNothingToExport();
    template <typename Change> void changeSnippet(const QString& id, Change change);

    Settings& m_settings;
    DataActions& m_dataActions;
    Toasts& m_toasts;
    VocabularyModel m_words;
    SnippetModel m_snippets;
    Tab m_tab = Tab::dictionary;
    bool m_clearAsked = false;
    int m_languageIndex = 0;
};

} // namespace kavo

#include "state/toasts.h"
#include "store/data_actions.h"
#include "store/data_stores.h"
#include "support/data_folder.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"
#include "ui/vocabulary/vocabulary_view.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <functional>

void qml_register_types_Kavo_Vocabulary();

using namespace kavo;
using test::row;
using ToastTone = Toasts::Tone;

namespace {

// The screen's objects over stores of their own; every model is checked while the view changes it.
struct Screen
{
    // Words written as "word" or "word,code".
    explicit Screen(const QStringList& words = {})
    {
        QList<VocabularyWord> list;
        for (const QString& word : words)
            list.append({ QUuid::createUuid(), word.section(u',', 0, 0), word.section(u',', 1) });
        stores.settings.setVocabulary(list);
    }

    // The listed words, each followed by its language's label when it has one.
    QStringList words()
    {
        QStringList listed;
        for (int row = 0; row < view.words()->rowCount(); ++row) {
            const QModelIndex index = view.words()->index(row);
            const QString label = index.data(VocabularyModel::LanguageLabelRole).toString();
            listed << index.data(VocabularyModel::WordRole).toString()
                    + (label.isEmpty() ? u""_qs : u" (%1)"_qs.arg(label));
        }
        return listed;
    }

    QString toastTitle() const { return toasts.current() ? toasts.current()->title : QString(); }

    DataStores stores;
    DataActions actions { stores };
    Toasts toasts;
    VocabularyView view { stores.settings, actions, toasts };
    QAbstractItemModelTester wordsTester { view.words(), QAbstractItemModelTester::FailureReportingMode::QtTest };
    QAbstractItemModelTester snippetsTester { view.snippets(), QAbstractItemModelTester::FailureReportingMode::QtTest };
};

// What a model told its views, one "what first-last" per signal.
QString modelSignals(QAbstractItemModel& model, const std::function<void()>& change)
{
    QStringList told;
    const auto range = [&](const char* what) {
        return [&told, what](
                   const QModelIndex&, int first, int last) { told << u"%1 %2-%3"_qs.arg(what).arg(first).arg(last); };
    };
    QObject context;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &context, range("inserted"));
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &context, range("removed"));
    QObject::connect(&model, &QAbstractItemModel::modelReset, &context, [&] { told << u"reset"_qs; });
    QObject::connect(
        &model, &QAbstractItemModel::dataChanged, &context, [&](const QModelIndex& first, const QModelIndex& last) {
            told << u"changed %1-%2"_qs.arg(first.row()).arg(last.row());
        });
    change();
    return told.join(u'|');
}

} // namespace

class VocabularyScreenTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;

    std::unique_ptr<QQuickWindow> window(VocabularyView& view)
    {
        return test::showScreen(m_engine, "Kavo.Vocabulary", "VocabularyScreen", &view);
    }

    static void typeText(QQuickWindow& window, const char* text)
    {
        for (; *text; ++text)
            QTest::keyClick(&window, *text);
    }

    static QString accessibleName(QQuickItem* item)
    {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    }

    static QQuickItem* itemNamed(QQuickItem* root, const QString& name)
    {
        if (root->isVisible() && accessibleName(root) == name)
            return root;
        for (QQuickItem* child : root->childItems()) {
            if (QQuickItem* found = itemNamed(child, name))
                return found;
        }
        return nullptr;
    }

    static void click(QQuickWindow& window, const QString& name)
    {
        QQuickItem* item = itemNamed(window.contentItem(), name);
        QVERIFY2(item, qPrintable(name));
        QTest::mouseClick(&window, Qt::LeftButton, {}, item->mapToScene(item->boundingRect().center()).toPoint());
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_Vocabulary();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void addWords_data()
    {
        test::columns<QStringList, QString, int, bool, QStringList, QString>(
            { "existing", "input", "language", "taken", "after", "toast" });
        const QStringList kavo { u"Kavo"_qs };
        const QString added = u"Added to the vocabulary"_qs, already = u"Already in the vocabulary"_qs;
        row("new words go first, in input order", kavo, u" Gemini,Toshkent ,"_qs, 0, true,
            QStringList { u"Gemini"_qs, u"Toshkent"_qs, u"Kavo"_qs }, added);
        row("case-insensitive duplicates are left out", kavo, u"kavo, Samarqand, SAMARQAND"_qs, 0, true,
            QStringList { u"Samarqand"_qs, u"Kavo"_qs }, added);
        row("tied to the chosen language", kavo, u"Toshkent"_qs, 1, true,
            QStringList { u"Toshkent (Uzbek)"_qs, u"Kavo"_qs }, added);
        row("all known", kavo, u"KAVO"_qs, 0, true, kavo, already);
        row("commas only", kavo, u" , ,"_qs, 0, true, kavo, already);
        row("blank input does nothing", kavo, u"  \n"_qs, 0, false, kavo, QString());
    }

    void addWords()
    {
        const auto [existing, input, language]
            = test::fetch<QStringList, QString, int>({ "existing", "input", "language" });
        Screen screen(existing);
        screen.view.setLanguageIndex(language);
        QTEST(screen.view.addWords(input), "taken");
        QTEST(screen.words(), "after");
        QTEST(screen.toastTitle(), "toast");
    }

    // Runs of rows are told as such; only an emptied or reordered list is a reset.
    void modelFollowsSettings_data()
    {
        test::columns<QString, QString, QString>({ "before", "after", "told" });
        row("front insertion", u"ab"_qs, u"xyab"_qs, u"inserted 0-1"_qs);
        row("single removal", u"abc"_qs, u"ac"_qs, u"removed 1-1"_qs);
        row("separate removals", u"abcde"_qs, u"bd"_qs, u"removed 4-4|removed 2-2|removed 0-0"_qs);
        row("adjacent removals", u"abcde"_qs, u"ae"_qs, u"removed 1-3"_qs);
        row("separate insertions", u"ab"_qs, u"xaybz"_qs, u"inserted 0-0|inserted 2-2|inserted 4-4"_qs);
        row("removal and insertion", u"abc"_qs, u"xac"_qs, u"removed 1-1|inserted 0-0"_qs);
        row("changed word", u"ab"_qs, u"aB"_qs, u"changed 1-1"_qs);
        row("emptied", u"ab"_qs, QString(), u"reset"_qs);
        row("reordered", u"ab"_qs, u"ba"_qs, u"reset"_qs);
    }

    void modelFollowsSettings()
    {
        const auto [before, after] = test::fetch<QString, QString>({ "before", "after" });
        // One id per letter, whatever its case, so that "B" is "b" changed.
        QHash<QChar, QUuid> ids;
        const auto list = [&](const QString& letters) {
            QList<VocabularyWord> words;
            for (const QChar letter : letters) {
                QUuid& id = ids[letter.toLower()];
                if (id.isNull())
                    id = QUuid::createUuid();
                words.append({ id, letter, {} });
            }
            return words;
        };
        Screen screen;
        screen.stores.settings.setVocabulary(list(before));
        QTEST(modelSignals(*screen.view.words(), [&] { screen.stores.settings.setVocabulary(list(after)); }), "told");
        QCOMPARE(screen.words().join(QString()), after);
    }

    void importWords_data()
    {
        test::columns<QByteArray, QStringList, QString, QString, ToastTone>(
            { "file", "after", "title", "detail", "tone" });
        row("new words before the old, in file order", QByteArray("Buxoro\nkavo\nAndijon,uz-UZ\nBUXORO\n"),
            QStringList { u"Buxoro"_qs, u"Andijon (Uzbek)"_qs, u"Kavo"_qs }, u"Imported"_qs, u"2 new words"_qs,
            ToastTone::success);
        row("all known", QByteArray("KAVO\n"), QStringList { u"Kavo"_qs }, u"Imported"_qs, u"No new words"_qs,
            ToastTone::info);
        row("unreadable file", QByteArray(), QStringList { u"Kavo"_qs }, QString(), QString(), ToastTone::info);
    }

    void importWords()
    {
        const auto [file, tone] = test::fetch<QByteArray, ToastTone>({ "file", "tone" });
        const QString path = QDir(test::useTemporaryDataFolder()).filePath(u"import.txt"_qs);
        QFile::remove(path);
        if (!file.isEmpty())
            test::writeFile(path, file);
        Screen screen({ u"Kavo"_qs });
        screen.view.importWords(QUrl::fromLocalFile(path));
        QTEST(screen.words(), "after");
        QTEST(screen.toastTitle(), "title");
        if (screen.toasts.current()) {
            QTEST(screen.toasts.current()->detail, "detail");
            QCOMPARE(screen.toasts.current()->tone, tone);
        }
    }

    void exportWords_data()
    {
        test::columns<QStringList, QByteArray, QString, QString, bool>({ "words", "file", "title", "detail", "asked" });
        row("two words", QStringList { u"Kavo"_qs, u"Oʻzbekiston"_qs }, QByteArray("Kavo\nOʻzbekiston\n"),
            u"Exported"_qs, u"lugat.txt · 2 words"_qs, true);
        row("empty vocabulary writes nothing", QStringList(), QByteArray(), u"Nothing to export"_qs,
            u"The vocabulary is empty."_qs, false);
    }

    void exportWords()
    {
        const auto [words, file] = test::fetch<QStringList, QByteArray>({ "words", "file" });
        const QString path = QDir(test::useTemporaryDataFolder()).filePath(u"lugat.txt"_qs);
        QFile::remove(path);
        Screen screen(words);
        QSignalSpy asked(&screen.view, &VocabularyView::exportFileWanted);
        screen.view.askToExport();
        QTEST(!asked.isEmpty(), "asked");
        screen.view.exportWords(QUrl::fromLocalFile(path));
        QCOMPARE(QFile::exists(path), !file.isEmpty());
        QCOMPARE(test::readFile(path), file);
        QTEST(screen.toastTitle(), "title");
        QTEST(screen.toasts.current()->detail, "detail");
    }

    void clearAsksFirst()
    {
        Screen screen({ u"Kavo"_qs, u"Toshkent"_qs });
        screen.view.askToClear();
        QVERIFY(screen.view.isClearAsked());
        screen.view.setTab(VocabularyView::Tab::snippets);
        QVERIFY(!screen.view.isClearAsked());
        QCOMPARE(screen.words().size(), 2);
        screen.view.askToClear();
        screen.view.clearWords();
        QVERIFY(screen.stores.settings.vocabulary().isEmpty() && !screen.view.hasWords());
        screen.view.askToClear();
        QVERIFY(!screen.view.isClearAsked());
    }

    // A snippet is added at the end, and editing it changes its row in place and the settings at once.
    void snippetEditing()
    {
        Screen screen;
        const Snippet first { QUuid::createUuid(), u"manzil"_qs, u"Toshkent, Amir Temur 1"_qs };
        screen.stores.settings.setSnippets({ first });
        QSignalSpy focus(&screen.view, &VocabularyView::triggerFocusWanted);
        screen.view.newSnippet();
        QCOMPARE(focus.value(0).value(0).toInt(), 1);
        const QString id = screen.view.snippets()->index(1).data(SnippetModel::IdRole).toString();
        QCOMPARE(screen.stores.settings.snippets().value(1).id, QUuid(id));

        QSignalSpy saved(&screen.stores.settings, &Settings::snippetsChanged);
        QCOMPARE(modelSignals(*screen.view.snippets(),
                     [&] {
                         screen.view.setTrigger(id, u"pochta"_qs);
                         screen.view.setText(id, u"a@kavo.uz\nrahmat"_qs);
                         screen.view.setText(id, u"a@kavo.uz\nrahmat"_qs);
                     }),
            u"changed 1-1|changed 1-1"_qs);
        QCOMPARE(saved.count(), 2);
        QCOMPARE(
            screen.stores.settings.snippets().value(1), (Snippet { QUuid(id), u"pochta"_qs, u"a@kavo.uz\nrahmat"_qs }));
        QCOMPARE(screen.view.snippets()->index(1).data(SnippetModel::DeleteLabelRole), u"Delete pochta"_qs);

        screen.view.removeSnippet(first.id.toString());
        QCOMPARE(screen.stores.settings.snippets().size(), 1);
        QCOMPARE(screen.view.snippets()->rowCount(), 1);
    }

    // Typing words and Return lists them; each chip's button deletes its word; the keyboard reaches every control.
    void wordsOnScreen()
    {
        Screen screen;
        const auto main = window(screen.view);
        QQuickItem* input = main->findChild<QQuickItem*>(u"wordInput"_qs);
        input->forceActiveFocus();
        typeText(*main, "Kavo, Toshkent");
        QTest::keyClick(main.get(), Qt::Key_Return);
        QCOMPARE(screen.words(), (QStringList { u"Kavo"_qs, u"Toshkent"_qs }));
        QCOMPARE(input->property("text").toString(), QString());
        QTRY_VERIFY(itemNamed(main->contentItem(), u"Delete Toshkent"_qs));

        click(*main, u"Delete Kavo"_qs);
        QCOMPARE(screen.words(), QStringList { u"Toshkent"_qs });
        QTRY_VERIFY(!itemNamed(main->contentItem(), u"Delete Kavo"_qs));

        input->forceActiveFocus();
        QCOMPARE(test::tabOrder(*main, 12).join(u'|'),
            "Language of new words|Add|Import|Export|Clear|Delete Toshkent|Dictionary|Snippets|Add words, separated by "
            "commas");
    }

    // "New snippet" puts the keyboard in the new row's trigger field; what is typed there is the snippet's.
    void snippetsOnScreen()
    {
        Screen screen;
        const auto main = window(screen.view);
        click(*main, u"Snippets"_qs);
        QCOMPARE(screen.view.tab(), VocabularyView::Tab::snippets);
        click(*main, u"New snippet"_qs);
        QTRY_COMPARE(accessibleName(main->activeFocusItem()), u"Trigger phrase"_qs);
        typeText(*main, "manzil");
        QTest::keyClick(main.get(), Qt::Key_Tab);
        typeText(*main, "Toshkent");
        QCOMPARE(screen.stores.settings.snippets().value(0).trigger, u"manzil"_qs);
        QCOMPARE(screen.stores.settings.snippets().value(0).text, u"Toshkent"_qs);
    }

    void screenshots()
    {
        Screen screen({ u"Kavo Voice"_qs, u"Toshkent,uz-UZ"_qs, u"Samarqand"_qs, u"Dilnoza Yusupova"_qs, u"Gemini"_qs,
            u"PostgreSQL,en-US"_qs, u"Oʻzbekiston,uz-UZ"_qs, u"Uzcard"_qs, u"Humo"_qs, u"Payme"_qs, u"Kubernetes"_qs,
            u"Mirzo Ulugʻbek"_qs });
        screen.stores.settings.setSnippets({
            { QUuid::createUuid(), u"mening manzilim"_qs, u"Toshkent, Chilonzor tumani, Bunyodkor koʻchasi 12"_qs },
            { QUuid::createUuid(), u"imzo"_qs, u"Hurmat bilan,\nDilnoza Yusupova\nKavo Voice"_qs },
            { QUuid::createUuid(), u"pochta"_qs, u"dilnoza@kavo.uz"_qs },
        });
        Screen empty;
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            const QString suffix = dark ? u"-dark"_qs : u"-light"_qs;
            const auto main = window(screen.view);
            test::screenshot(*main, u"vocabulary-screen"_qs + suffix);
            screen.view.setTab(VocabularyView::Tab::snippets);
            test::screenshot(*main, u"vocabulary-snippets"_qs + suffix);
            screen.view.setTab(VocabularyView::Tab::dictionary);
            const auto emptyWindow = window(empty.view);
            test::screenshot(*emptyWindow, u"vocabulary-empty"_qs + suffix);
            empty.view.setTab(VocabularyView::Tab::snippets);
            test::screenshot(*emptyWindow, u"vocabulary-snippets-empty"_qs + suffix);
            empty.view.setTab(VocabularyView::Tab::dictionary);
        }
    }
};

QTEST_MAIN(VocabularyScreenTest)
#include "tst_vocabulary_screen.moc"

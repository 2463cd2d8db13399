#include "dictation/dictation_state.h"
#include "state/toasts.h"
#include "store/history_manager.h"
#include "store/settings.h"
#include "support/data_folder.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/history/history_view.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

void qml_register_types_Kavo_History();

using namespace kavo;
using Status = HistoryEntry::Status;
using test::row;

namespace {

const Calendar tashkent { QTimeZone(5 * 3600), Qt::Monday };
const auto at
    = [](const char* text) { return QDateTime::fromString(QString::fromLatin1(text) + "+05:00", Qt::ISODate); };

struct Source
{
    std::optional<QString> appName;
    std::optional<QString> appID;
    QString source = DictationSource::computer;
};

const Source firefox { u"Firefox"_qs, u"firefox"_qs };
const Source telegram { u"Telegram"_qs, u"org.telegram.desktop"_qs };
const Source terminal { u"Terminal"_qs, u"org.gnome.terminal"_qs };
const Source phone { {}, {}, DictationSource::phone };

HistoryEntry entry(const QDateTime& date, const QString& text, const Source& source = {}, Status status = Status::done)
{
    HistoryEntry result;
    std::tie(result.id, result.date, result.text, result.status) = std::tuple(QUuid::createUuid(), date, text, status);
    std::tie(result.appName, result.appID, result.source) = std::tuple(source.appName, source.appID, source.source);
    result.duration = 83.9;
    return result;
}

HistoryEntry unheard(const QDateTime& date, Status status, bool offline = false)
{
    HistoryEntry result = entry(date, {}, terminal, status);
    result.audioFile = result.id.toString(QUuid::WithoutBraces) + ".wav";
    result.offline = offline;
    return result;
}

void replace(HistoryManager& manager, const QList<HistoryEntry>& entries)
{
    History { entries }.save();
    manager.load();
}

QStringList column(const QAbstractItemModel& model, int role)
{
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values << model.index(row, 0).data(role).toString();
    return values;
}

// The rows by what a screen reader reads for them: the text, or what became of the recording.
QString texts(const QAbstractItemModel& model)
{
    return column(model, HistoryModel::AccessibleNameRole).join(u'|');
}

// The first visible item under `root` with this object name that satisfies `where`.
QQuickItem* findItem(QQuickItem* root, const QString& name, const std::function<bool(QQuickItem*)>& where = {})
{
    for (QQuickItem* child : root->childItems()) {
        if (!child->isVisible())
            continue;
        if (child->objectName() == name && (!where || where(child)))
            return child;
        if (QQuickItem* found = findItem(child, name, where))
            return found;
    }
    return nullptr;
}

} // namespace

class HistoryScreenTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    Settings m_settings;
    DictationState m_dictation;
    Toasts m_toasts;
    HistoryManager m_history;
    QDateTime m_now = at("2026-12-06T09:00:00");

    std::unique_ptr<HistoryView> view()
    {
        auto view = std::make_unique<HistoryView>(m_history, m_dictation, m_settings, m_toasts);
        view->clock().setSource(tashkent, [this] { return m_now; });
        return view;
    }

    // The screen at the main window's screen size, as the application shows it.
    std::unique_ptr<QQuickWindow> window(HistoryView& view)
    {
        return test::showScreen(m_engine, "Kavo.History", "HistoryScreen", &view);
    }

    static void click(QQuickWindow& window, QQuickItem* item)
    {
        QVERIFY(item);
        QTest::mouseClick(
            &window, Qt::LeftButton, {}, item->mapToScene(QPointF(item->width(), item->height()) / 2).toPoint());
    }

    // The named control on the card of the entry.
    static QQuickItem* onCard(QQuickWindow& window, const QUuid& id, const QString& name)
    {
        QQuickItem* card = findItem(window.contentItem(), u"card"_qs,
            [&id](QQuickItem* item) { return item->property("entryId").value<QUuid>() == id; });
        return card ? findItem(card, name) : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_History();
    }

    void init()
    {
        m_now = at("2026-12-06T09:00:00");
        m_settings.setHotkeyMode(HotkeyMode::hold);
        replace(m_history, {});
    }

    // A window's scene graph gives its textures back through deferred deletes.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void filtering_data()
    {
        test::columns<QString, bool, QString>({ "search", "discarded", "listed" });
        row("everything but discarded", u""_qs, false,
            u"Meet at the café at noon|Ünïcödé handling|Привет, как дела|Salom dunyo"_qs);
        row("discarded too", u""_qs, true,
            u"Meet at the café at noon|Ünïcödé handling|Привет, как дела|Salom dunyo|Never transcribed"_qs);
        row("plain letters find accented ones", u"CAFE"_qs, false, u"Meet at the café at noon"_qs);
        row("accented letters find plain ones", u"ünicode"_qs, false, u"Ünïcödé handling"_qs);
        row("Cyrillic case", u"ПРИВЕТ"_qs, false, u"Привет, как дела"_qs);
        row("the phone's label", u"phone"_qs, false, u"Привет, как дела"_qs);
        row("the application's name", u"fire"_qs, false, u"Ünïcödé handling"_qs);
        row("this application's name", u"kavo voice"_qs, false, u"Salom dunyo"_qs);
        row("across text and label", u"noon tele"_qs, false, u"Meet at the café at noon"_qs);
        row("a hidden discarded label", u"terminal"_qs, false, u""_qs);
        row("a shown discarded label", u"terminal"_qs, true, u"Never transcribed"_qs);
        row("nothing", u"xyz"_qs, true, u""_qs);
    }

    void filtering()
    {
        const auto [search, discarded] = test::fetch<QString, bool>({ "search", "discarded" });
        replace(m_history,
            { entry(at("2026-12-06T08:00:00"), u"Meet at the café at noon"_qs, telegram),
                entry(at("2026-12-06T07:00:00"), u"Ünïcödé handling"_qs, firefox),
                entry(at("2026-12-05T20:00:00"), u"Привет, как дела"_qs, phone),
                entry(at("2026-12-05T19:00:00"), u"Salom dunyo"_qs),
                unheard(at("2026-12-04T10:00:00"), Status::discarded) });
        const auto view = this->view();
        const QAbstractItemModelTester tester(view->entries());
        view->setSearch(search);
        view->setShowDiscarded(discarded);
        QTEST(texts(*view->entries()), "listed");
    }

    // An entry at 23:59 and one at 00:01 fall on either side of midnight, and move a day back at the next.
    void dayHeadings_data()
    {
        test::columns<QString, QString, bool>({ "now", "headings", "dayChanged" });
        row("the morning after", u"2026-12-06T09:00:00"_qs, u"Today|Yesterday"_qs, false);
        row("a second before midnight", u"2026-12-06T23:59:59"_qs, u"Today|Yesterday"_qs, false);
        row("just past midnight", u"2026-12-07T00:00:01"_qs, u"Yesterday|Dec 5"_qs, true);
    }

    void dayHeadings()
    {
        const auto [now, dayChanged] = test::fetch<QString, bool>({ "now", "dayChanged" });
        replace(m_history,
            { entry(at("2026-12-06T00:01:00"), u"after midnight"_qs), entry(at("2026-12-05T23:59:00"), u"before"_qs) });
        const auto view = this->view();
        const QAbstractItemModelTester tester(view->entries());
        QSignalSpy headings(view->entries(), &QAbstractItemModel::dataChanged);
        QSignalSpy stats(view.get(), &HistoryView::statsLineChanged);
        m_now = QDateTime::fromString(now + "+05:00", Qt::ISODate);
        view->clock().check();
        QTEST(column(*view->entries(), HistoryModel::DayRole).join(u'|'), "headings");
        QCOMPARE(headings.count(), int(dayChanged));
        QCOMPARE(stats.count(), int(dayChanged)); // two words today, none the next day
    }

    // M is the nearest integer to W/40 − W/150 = 11W/600: 27 words save 0.495 minutes, 28 words 0.513.
    void statsLine_data()
    {
        test::columns<int, int, QString>({ "today", "week", "line" });
        row("nothing yet", 0, 0, u"Today 0 words · this week 0 words — about 0 minutes saved"_qs);
        row("just below a half", 5, 27, u"Today 5 words · this week 27 words — about 0 minutes saved"_qs);
        row("just above a half", 5, 28, u"Today 5 words · this week 28 words — about 1 minutes saved"_qs);
        row("grouped digits", 1200, 3000, u"Today 1,200 words · this week 3,000 words — about 55 minutes saved"_qs);
    }

    void statsLine()
    {
        const auto [today, week] = test::fetch<int, int>({ "today", "week" });
        QTEST(HistoryView::statsLine({ today, week }), "line");
    }

    // The audio box of entries without text, and the indicator while one is transcribed again.
    void audioBox_data()
    {
        test::columns<Status, bool, bool, bool, QString, QString, QString>(
            { "status", "offline", "text", "retrying", "title", "line", "action" });
        const QString line = u"Audio saved on your computer · 1:23"_qs;
        row("failed", Status::failed, false, false, false, u"Not transcribed"_qs, line, u"Retry"_qs);
        row("failed offline", Status::failed, true, false, false, u"No internet — not transcribed"_qs, line,
            u"Retry"_qs);
        row("never transcribed", Status::discarded, false, false, false, u"Never transcribed"_qs, line,
            u"Transcribe"_qs);
        row("discarded with text", Status::discarded, false, true, false, u""_qs, u""_qs, u""_qs);
        row("done", Status::done, false, true, false, u""_qs, u""_qs, u""_qs);
        row("retrying", Status::failed, true, false, true, u"Transcribing again…"_qs, line, u"Retry"_qs);
    }

    void audioBox()
    {
        const auto [status, offline, text, retrying, title]
            = test::fetch<Status, bool, bool, bool, QString>({ "status", "offline", "text", "retrying", "title" });
        HistoryEntry subject = unheard(m_now, status, offline);
        subject.text = text ? u"kept"_qs : QString();
        replace(m_history, { subject });
        const auto view = this->view();
        view->setShowDiscarded(true);
        HistoryModel& model = *view->entries();
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        m_dictation.setRetrying(subject.id, retrying);
        QCOMPARE(changes.count(), int(retrying));
        const QModelIndex shown = model.index(0);
        QTEST(shown.data(HistoryModel::AudioTitleRole).toString(), "title");
        QTEST(shown.data(HistoryModel::AudioLineRole).toString(), "line");
        QTEST(shown.data(HistoryModel::AudioActionRole).toString(), "action");
        QCOMPARE(shown.data(HistoryModel::AudioShownRole).toBool(), !title.isEmpty());
        QCOMPARE(shown.data(HistoryModel::RetryingRole).toBool(), retrying);
        QCOMPARE(shown.data(HistoryModel::DiscardedRole).toBool(), status == Status::discarded);
        m_dictation.setRetrying(subject.id, false);
    }

    // Changes reach the rows one by one while the filter holds; only a clear resets the list.
    void incrementalUpdates_data()
    {
        test::columns<QString, int, int, int, bool, QString>(
            { "search", "inserted", "removed", "changed", "reset", "listed" });
        row("add", u""_qs, 1, 0, 0, false, u"new|salom dunyo|hello world"_qs);
        row("add hidden discarded", u""_qs, 0, 0, 0, false, u"salom dunyo|hello world"_qs);
        row("add not matching", u"salom"_qs, 0, 0, 0, false, u"salom dunyo"_qs);
        row("edit", u""_qs, 0, 0, 1, false, u"salom, dunyo!|hello world"_qs);
        row("edit out of the search", u"salom"_qs, 0, 1, 0, false, u""_qs);
        row("edit into the search", u"world"_qs, 1, 0, 0, false, u"salom, world|hello world"_qs);
        row("discard", u""_qs, 0, 1, 0, false, u"hello world"_qs);
        row("remove", u""_qs, 0, 1, 0, false, u"salom dunyo"_qs);
        row("remove hidden discarded", u""_qs, 0, 0, 0, false, u"salom dunyo|hello world"_qs);
        row("clear", u""_qs, 0, 0, 0, true, u""_qs);
    }

    void incrementalUpdates()
    {
        const QString change = QString::fromLatin1(QTest::currentDataTag());
        const auto [search] = test::fetch<QString>({ "search" });
        const HistoryEntry newest = entry(at("2026-12-06T08:00:00"), u"salom dunyo"_qs, telegram);
        const HistoryEntry older = entry(at("2026-12-05T08:00:00"), u"hello world"_qs, firefox);
        const HistoryEntry hidden = unheard(at("2026-12-04T08:00:00"), Status::discarded);
        replace(m_history, { newest, older, hidden });
        const auto view = this->view();
        view->setSearch(search);
        HistoryModel& model = *view->entries();
        const QAbstractItemModelTester tester(&model);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        m_history.change([&](History& history) {
            HistoryEntry first = history.entries.first();
            if (change == "add")
                history.add(entry(m_now, u"new"_qs));
            else if (change == "add hidden discarded")
                history.add(unheard(m_now, Status::discarded));
            else if (change == "add not matching")
                history.add(entry(m_now, u"privet"_qs));
            else if (change.startsWith(u"edit"))
                first.text = change == "edit"               ? u"salom, dunyo!"_qs
                    : change.endsWith(u"out of the search") ? u"hi"_qs
                                                            : u"salom, world"_qs;
            else if (change == "discard")
                first.status = Status::discarded;
            else if (change == "remove")
                history.remove(older.id);
            else if (change == "remove hidden discarded")
                history.remove(hidden.id);
            else if (change == "clear")
                history.clear();
            history.update(first);
        });
        QTEST(int(inserted.count()), "inserted");
        QTEST(int(removed.count()), "removed");
        QTEST(int(changed.count()), "changed");
        QTEST(!reset.isEmpty(), "reset");
        QTEST(texts(model), "listed");
    }

    // No entries at all, or none matching the search; the hint follows the hotkey mode at once.
    void emptyStates_data()
    {
        test::columns<bool, QString, QString, QString>({ "kept", "search", "title", "detail" });
        const QString hold = u"Hold the key and talk — the text is kept here."_qs;
        row("no entries", false, u""_qs, u"No recordings yet."_qs, hold);
        row("no entries, searching", false, u"salom"_qs, u"No recordings yet."_qs, hold);
        row("only hidden discarded", true, u""_qs, u"No recordings yet."_qs, hold);
        row("nothing matches", true, u"salom"_qs, u"Nothing found."_qs, u"Try another word or clear the search."_qs);
    }

    void emptyStates()
    {
        const auto [kept, search] = test::fetch<bool, QString>({ "kept", "search" });
        if (kept)
            replace(m_history, { unheard(m_now, Status::discarded) });
        const auto view = this->view();
        view->setSearch(search);
        QVERIFY(view->isEmpty());
        QTEST(view->emptyTitle(), "title");
        QTEST(view->emptyDetail(), "detail");
        QSignalSpy changes(view.get(), &HistoryView::emptyStateChanged);
        m_settings.setHotkeyMode(HotkeyMode::toggle);
        QVERIFY(!changes.isEmpty());
        if (view->emptyTitle() == "No recordings yet.")
            QCOMPARE(view->emptyDetail(), "Press the key and talk — the text is kept here.");
        m_history.change([&](History& history) { history.add(entry(m_now, search + u" found"_qs)); });
        QVERIFY(!view->isEmpty() && view->emptyTitle().isEmpty());
    }

    // Editing, copying, deleting, retrying and clearing on the screen itself, with the mouse and the keyboard.
    void screenActions()
    {
        const HistoryEntry failed = unheard(at("2026-12-06T08:30:00"), Status::failed);
        const HistoryEntry kept = entry(at("2026-12-06T08:00:00"), u"Salom dunyo"_qs, telegram);
        const HistoryEntry other = entry(at("2026-12-05T08:00:00"), u"Hello world"_qs, firefox);
        replace(m_history, { failed, kept, other });
        const auto view = this->view();
        const auto screen = window(*view);
        QSignalSpy retries(view.get(), &HistoryView::retryRequested);

        click(*screen, onCard(*screen, failed.id, u"audioAction"_qs));
        QCOMPARE(retries.count(), 1);
        QCOMPARE(retries.first().first().value<QUuid>(), failed.id);

        click(*screen, onCard(*screen, kept.id, u"edit"_qs));
        QQuickItem* editor = onCard(*screen, kept.id, u"editor"_qs);
        QVERIFY(editor);
        QTRY_VERIFY(editor->hasActiveFocus());
        for (const char key : QByteArrayView(", qalaysiz"))
            QTest::keyClick(screen.get(), key);
        click(*screen, onCard(*screen, kept.id, u"save"_qs));
        QCOMPARE(m_history.find(kept.id)->text, "Salom dunyo, qalaysiz");
        QVERIFY(!onCard(*screen, kept.id, u"editor"_qs));

        click(*screen, onCard(*screen, kept.id, u"copy"_qs));
        QCOMPARE(QGuiApplication::clipboard()->text(), "Salom dunyo, qalaysiz");
        QCOMPARE(m_toasts.current()->title + u' ' + m_toasts.current()->detail, "Copied 3 words");

        click(*screen, onCard(*screen, other.id, u"delete"_qs));
        QVERIFY(!m_history.find(other.id));
        QCOMPARE(m_toasts.current()->title, "Deleted");

        QQuickItem* clear = findItem(screen->contentItem(), u"clearButton"_qs);
        click(*screen, clear);
        QCOMPARE(clear->property("text").toString(), "Confirm");
        QTest::keyClick(screen.get(), Qt::Key_Escape);
        QCOMPARE(clear->property("text").toString(), "Clear");
        click(*screen, clear);
        click(*screen, clear);
        QVERIFY(m_history.entries().isEmpty());
        QCOMPARE(
            m_toasts.current()->title + u". "_qs + m_toasts.current()->detail, "History cleared. You cannot undo this");
        QVERIFY(findItem(screen->contentItem(), u"emptyState"_qs));
    }

    // Tab walks the header's controls and then each card's buttons, each named for screen readers.
    void keyboard()
    {
        replace(m_history, { entry(m_now, u"Salom dunyo"_qs, telegram) });
        const auto view = this->view();
        const auto screen = window(*view);
        QCOMPARE(test::tabOrder(*screen, 5).join(u'|'), "Discarded|Clear|Copy|Edit|Delete");
        QTest::keyClick(screen.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(screen.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(screen.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(screen.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(screen.get(), Qt::Key_Space);
        QVERIFY(view->showsDiscarded());
    }

    // The screen with a few days of dictations, and empty, in both appearances, for people to look at.
    void screenshots()
    {
        const Source files { u"Files"_qs, u"org.gnome.nautilus"_qs };
        HistoryEntry offline = unheard(at("2026-12-06T08:05:00"), Status::failed, true);
        offline.duration = 14.2;
        HistoryEntry retrying = unheard(at("2026-12-05T18:40:00"), Status::failed);
        retrying.duration = 7.6;
        HistoryEntry never = unheard(at("2026-12-05T09:12:00"), Status::discarded);
        never.duration = 3.1;
        replace(m_history,
            { entry(
                  at("2026-12-06T08:52:00"), u"Ertaga soat o‘nda uchrashamiz, hisobotni ham olib keling."_qs, telegram),
                entry(at("2026-12-06T08:31:00"), u"git commit -m \"Fix the export of notes\""_qs, terminal), offline,
                entry(at("2026-12-06T07:48:00"),
                    u"Please review the draft before lunch and send me your comments on the pricing section, "
                    "especially the part about yearly plans."_qs,
                    firefox),
                entry(at("2026-12-05T21:15:00"), u"Купить молоко, хлеб и яблоки по дороге домой."_qs, phone), retrying,
                entry(at("2026-12-05T16:02:00"), u"Привет! Созвонимся вечером, я пришлю ссылку."_qs, telegram), never,
                entry(at("2026-12-05T08:20:00"), u"Assalomu alaykum, hujjatlarni pochtaga yubordim."_qs, firefox),
                entry(at("2026-12-04T19:44:00"), u"Rename the folder to reports-2026"_qs, files),
                entry(at("2026-12-04T12:10:00"), u"Bugungi yig‘ilish bekor qilindi."_qs, phone),
                entry(at("2026-12-04T09:01:00"), u"Meeting notes: ship the beta on Friday."_qs) });
        m_dictation.setRetrying(retrying.id, true);
        const auto view = this->view();
        view->setShowDiscarded(true);
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            const QString suffix = dark ? u"-dark"_qs : u"-light"_qs;
            const auto screen = window(*view);
            test::screenshot(*screen, u"history-screen"_qs + suffix);
            view->edit(m_history.entries().first().id);
            view->pressClear();
            test::screenshot(*screen, u"history-screen-editing"_qs + suffix);
            view->cancelEdit();
            view->cancelClear();
            view->setSearch(u"zzz"_qs);
            test::screenshot(*screen, u"history-screen-nothing-found"_qs + suffix);
            view->setSearch({});
            auto* list = qobject_cast<QQuickItem*>(findItem(screen->contentItem(), u"historyList"_qs));
            list->setProperty("contentY", 600);
            test::screenshot(*screen, u"history-screen-scrolled"_qs + suffix);
        }
        m_dictation.setRetrying(retrying.id, false);
        m_appearance.setTheme(ThemeMode::light);
        replace(m_history, {});
        const auto screen = window(*view);
        test::screenshot(*screen, u"history-screen-empty-light"_qs);
    }
};

QTEST_MAIN(HistoryScreenTest)
#include "tst_history_screen.moc"

#include "dictation/dictation_state.h"
#include "state/input_access.h"
#include "state/key_check.h"
#include "store/settings.h"
#include "support/fake_gemini.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/tokens.h"
#include "ui/onboarding/language_chips_model.h"
#include "ui/onboarding/onboarding_view.h"

#include <QAbstractItemModelTester>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

void qml_register_types_Kavo_Onboarding();
void qml_register_types_Kavo_Vocabulary();

using namespace kavo;
using Step = OnboardingView::Step;
using Status = KeyCheck::Status;
using test::FakeGemini;
using test::row;

class OnboardingTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    Settings m_settings;
    KeyCheck m_keyCheck;
    DictationState m_dictation;
    bool m_inputGranted = true;
    bool m_microphoneAllowed = true;
    InputAccess m_inputAccess { [this] { return m_inputGranted; } };
    FakeGemini m_gemini;

    std::unique_ptr<OnboardingView> makeView(bool wayland = false)
    {
        m_inputAccess.check();
        return std::make_unique<OnboardingView>(
            m_settings, m_keyCheck, m_inputAccess, m_dictation, [this] { return m_microphoneAllowed; }, wayland);
    }

    std::unique_ptr<QQuickWindow> showWindow(OnboardingView& view)
    {
        QQmlComponent component(&m_engine, QUrl(u"qrc:/qt/qml/Kavo/Onboarding/OnboardingWindow.qml"_qs));
        if (!component.isReady())
            qFatal("%s", qPrintable(component.errorString()));
        auto window = std::unique_ptr<QQuickWindow>(qobject_cast<QQuickWindow*>(
            component.createWithInitialProperties({ { u"view"_qs, QVariant::fromValue(&view) } })));
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not shown");
        return window;
    }

    static void typeText(QQuickWindow& window, const char* text)
    {
        for (const char* key = text; *key; ++key)
            QTest::keyClick(&window, *key);
    }

    void screenshots(QQuickWindow& window, const QString& name)
    {
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            QCoreApplication::processEvents();
            test::screenshot(window, u"onboarding-%1-%2"_qs.arg(name, dark ? u"dark"_qs : u"light"_qs));
        }
        m_appearance.setTheme(ThemeMode::light);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_Vocabulary();
        qml_register_types_Kavo_Onboarding();
        QVERIFY(m_gemini.start());
        qputenv("KAVO_GEMINI_BASE_URL", m_gemini.baseUrl().toString().toUtf8());
    }

    void init()
    {
        m_settings.setConfig(Config());
        m_keyCheck.setStatus(Status::unknown);
        m_dictation.setPhase(DictationState::Phase::idle);
        m_inputGranted = m_microphoneAllowed = true;
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // A chip adds its code or takes it out; the codes keep the table's order, unknown ones after it, and the rows
    // follow: the table's languages, then the unknown codes chosen.
    void languageChips_data()
    {
        test::columns<QStringList, QString, QStringList, int>({ "before", "code", "after", "rows" });
        row("added in table order", QStringList { "en-US" }, u"uz-UZ"_qs, QStringList { "uz-UZ", "en-US" }, 13);
        row("taken out", QStringList { "uz-UZ", "en-US" }, u"uz-UZ"_qs, QStringList { "en-US" }, 13);
        row("the last taken out", QStringList { "ru-RU" }, u"ru-RU"_qs, QStringList {}, 13);
        row("unknown after known", QStringList { "xx-XX" }, u"ko-KR"_qs, QStringList { "ko-KR", "xx-XX" }, 14);
        row("unknown taken out", QStringList { "en-US", "xx-XX" }, u"xx-XX"_qs, QStringList { "en-US" }, 13);
        row("unknown added last", QStringList { "en-US", "yy-YY" }, u"aa-AA"_qs,
            QStringList { "en-US", "yy-YY", "aa-AA" }, 15);
    }

    void languageChips()
    {
        const auto [before, code, after]
            = test::fetch<QStringList, QString, QStringList>({ "before", "code", "after" });
        m_settings.setLanguageCodes(before);
        const auto view = makeView();
        LanguageChipsModel& chips = *view->languages();
        QAbstractItemModelTester tester(&chips, QAbstractItemModelTester::FailureReportingMode::QtTest);
        chips.toggle(code);
        QCOMPARE(m_settings.languageCodes(), after);
        QTEST(chips.rowCount(), "rows");
        QCOMPARE(chips.index(0).data(LanguageChipsModel::labelRole), u"O'zbek"_qs);
        for (int row = 0; row < chips.rowCount(); ++row) {
            const QString rowCode = chips.index(row).data(LanguageChipsModel::codeRole).toString();
            QCOMPARE(chips.index(row).data(LanguageChipsModel::selectedRole).toBool(), after.contains(rowCode));
        }
        QCOMPARE(chips.index(chips.rowCount() - 1).data(LanguageChipsModel::labelRole),
            chips.rowCount() > 13 ? after.last() : u"한국어"_qs);
    }

    // Next is pressed only when the step's condition holds; on the last step it is always Done.
    void primaryEnabled_data()
    {
        test::columns<Step, QStringList, bool, bool, Status, bool>(
            { "step", "languages", "microphone", "input", "key", "enabled" });
        const QStringList one { "en-US" };
        row("a language", Step::languages, one, false, false, Status::unknown, true);
        row("no language", Step::languages, QStringList {}, true, true, Status::ok, false);
        row("microphone allowed", Step::microphone, QStringList {}, true, false, Status::unknown, true);
        row("no microphone", Step::microphone, one, false, true, Status::ok, false);
        row("input access", Step::accessibility, QStringList {}, false, true, Status::unknown, true);
        row("no input access", Step::accessibility, one, true, false, Status::ok, false);
        row("key works", Step::gemini, QStringList {}, false, false, Status::ok, true);
        row("key checking", Step::gemini, one, true, true, Status::checking, false);
        row("key refused", Step::gemini, one, true, true, Status::failed, false);
        row("try it", Step::tryIt, QStringList {}, false, false, Status::failed, true);
    }

    void primaryEnabled()
    {
        const auto [step, languages, microphone, input, key, enabled]
            = test::fetch<Step, QStringList, bool, bool, Status, bool>(
                { "step", "languages", "microphone", "input", "key", "enabled" });
        m_settings.setLanguageCodes({ "en-US" });
        m_keyCheck.setStatus(Status::ok);
        const auto view = makeView();
        for (int press = 0; press < int(step); ++press)
            view->next();
        QCOMPARE(view->step(), step);
        m_settings.setLanguageCodes(languages);
        m_microphoneAllowed = microphone;
        view->checkMicrophone();
        m_inputGranted = input;
        m_inputAccess.check();
        m_keyCheck.setStatus(key, u"API key not valid."_qs);
        QCOMPARE(view->isPrimaryEnabled(), enabled);
        QSignalSpy finished(view.get(), &OnboardingView::finished);
        view->next();
        QCOMPARE(view->step() != step || !finished.isEmpty(), enabled);
    }

    // The texts that depend on the hotkey mode, and the button's word.
    void texts_data()
    {
        test::columns<Step, HotkeyMode, QString, QString, QString>({ "step", "mode", "title", "line", "primary" });
        row("microphone, hold", Step::microphone, HotkeyMode::hold, "Microphone",
            "Records only while you hold the key.", "Next");
        row("microphone, toggle", Step::microphone, HotkeyMode::toggle, "Microphone",
            "Records only from one key press to the next.", "Next");
        row("accessibility", Step::accessibility, HotkeyMode::toggle, "Keyboard access",
            "Needed to type the text where your cursor is.", "Next");
        row("try it, hold", Step::tryIt, HotkeyMode::hold, "Try it", "Hold the keys, talk, and let go.", "Done");
        row("try it, toggle", Step::tryIt, HotkeyMode::toggle, "Try it", "Press the keys, talk, and press them again.",
            "Done");
    }

    void texts()
    {
        const auto [step, mode] = test::fetch<Step, HotkeyMode>({ "step", "mode" });
        m_settings.setLanguageCodes({ "en-US" });
        m_keyCheck.setStatus(Status::ok);
        const auto view = makeView();
        for (int press = 0; press < int(step); ++press)
            view->next();
        QCOMPARE(view->step(), step);
        QSignalSpy textsChanged(view.get(), &OnboardingView::textsChanged);
        m_settings.setHotkeyMode(mode);
        QCOMPARE(textsChanged.count(), int(mode != HotkeyMode::hold));
        QTEST(view->title(), "title");
        QTEST(view->line(), "line");
        QTEST(view->primaryText(), "primary");
        QCOMPARE(view->tryHeading(),
            mode == HotkeyMode::hold ? u"Hold the keys and talk"_qs : u"Press the keys and talk"_qs);
    }

    // Back stops at the first step; "More info" closes on every move; Done marks the onboarding done once.
    void nextAndBack()
    {
        m_settings.setLanguageCodes({ "en-US" });
        m_keyCheck.setStatus(Status::ok);
        const auto view = makeView();
        QSignalSpy finished(view.get(), &OnboardingView::finished);
        view->back();
        QVERIFY(view->step() == Step::languages && !view->isBackVisible());
        view->setInfoOpen(true);
        view->next();
        QVERIFY(view->step() == Step::microphone && view->isBackVisible() && !view->isInfoOpen());
        view->back();
        QCOMPARE(view->step(), Step::languages);
        for (int press = 0; press < 4; ++press)
            view->next();
        QVERIFY(view->step() == Step::tryIt && finished.isEmpty() && !m_settings.onboardingDone());
        view->next();
        QVERIFY(view->step() == Step::tryIt && m_settings.onboardingDone());
        QCOMPARE(finished.count(), 1);
    }

    // The key typed in is stored and checked against the service; the result reads as the service answered.
    void keyCheck_data()
    {
        test::columns<int, QString, bool>({ "status", "result", "checked" });
        row("works", 200, "The key works · gemini-x-flash", true);
        row("refused", 400, "API key not valid.", false);
    }

    void keyCheck()
    {
        const auto [status, result, checked] = test::fetch<int, QString, bool>({ "status", "result", "checked" });
        m_gemini.enqueue(status == 200 ? FakeGemini::models({ "gemini-x-flash" })
                                       : FakeGemini::error(status, u"API key not valid."_qs));
        const auto view = makeView();
        view->checkKey(u" AIza-test-key "_qs);
        QCOMPARE(m_settings.apiKey(), u"AIza-test-key"_qs);
        QCOMPARE(view->checkText(), u"Checking…"_qs);
        QTRY_VERIFY(!view->isChecking());
        QVERIFY2(view->keyResult().contains(result), qPrintable(view->keyResult()));
        QCOMPARE(view->isKeyChecked(), checked);
        QCOMPARE(view->checkText(), u"Check"_qs);
    }

    // Without input access in a Wayland session the step tells what to run and waits for it.
    void inputAccessWait()
    {
        m_inputGranted = false;
        m_settings.setLanguageCodes({ "en-US" });
        const auto view = makeView(true);
        view->next();
        view->next();
        QCOMPARE(view->step(), Step::accessibility);
        QCOMPARE(view->waitingText(), u"Waiting for permission…"_qs);
        QCOMPARE(view->command(), u"sudo usermod -aG input $USER"_qs);
        screenshots(*showWindow(*view), u"accessibility-wayland"_qs);
        m_inputGranted = true;
        QTRY_VERIFY_WITH_TIMEOUT(view->isPrimaryEnabled(), 5000);
        QVERIFY(view->waitingText().isEmpty());
    }

    // The whole window walked with the keyboard alone, from the first language to Done, photographed at each step.
    void walkWindow()
    {
        m_settings.setLanguageCodes({});
        m_settings.setHotkeyMode(HotkeyMode::hold);
        m_microphoneAllowed = false;
        const auto view = makeView();
        QSignalSpy finished(view.get(), &OnboardingView::finished);
        const auto window = showWindow(*view);

        // With no language chosen Next cannot be pressed, so Tab passes it by.
        const QStringList order = test::tabOrder(*window, 20);
        QCOMPARE(order.mid(0, 3), QStringList({ "O'zbek", "Русский", "English" }));
        QCOMPARE(order.size(), 14);
        QCOMPARE(order.last(), u"More info"_qs);
        for (const QString& language : { u"English"_qs, u"Русский"_qs })
            test::pressKey(*window, language);
        QCOMPARE(m_settings.languageCodes(), QStringList({ "ru-RU", "en-US" }));
        test::pressKey(*window, u"More info"_qs);
        QVERIFY(view->isInfoOpen());
        screenshots(*window, u"languages"_qs);
        test::pressKey(*window, u"Next"_qs);

        QCOMPARE(view->step(), Step::microphone);
        screenshots(*window, u"microphone-missing"_qs);
        m_microphoneAllowed = true;
        test::pressKey(*window, u"Check again"_qs);
        QVERIFY(view->isMicAllowed());
        screenshots(*window, u"microphone"_qs);
        test::pressKey(*window, u"Next"_qs);

        QCOMPARE(view->step(), Step::accessibility);
        screenshots(*window, u"accessibility"_qs);
        test::pressKey(*window, u"Next"_qs);

        QCOMPARE(view->step(), Step::gemini);
        m_gemini.enqueue(FakeGemini::models({ "gemini-3.8-flash" }));
        test::tabTo(*window, u"Paste it here"_qs);
        typeText(*window, "AIza-walk");
        QTest::keyClick(window.get(), Qt::Key_Return);
        QTRY_VERIFY(view->isKeyChecked());
        screenshots(*window, u"gemini"_qs);
        test::pressKey(*window, u"Next"_qs);

        QCOMPARE(view->step(), Step::tryIt);
        QCOMPARE(test::focusedName(*window), u"Hold the keys and talk"_qs);
        typeText(*window, "Hello from Kavo");
        test::tabTo(*window, u"Talk key"_qs);
        QTest::keyClick(window.get(), Qt::Key_Down);
        QCOMPARE(m_settings.hotkey(), HotkeyKind::super);
        m_dictation.setPhase(DictationState::Phase::recording);
        QCOMPARE(view->listeningText(), u"Listening…"_qs);
        screenshots(*window, u"try-it"_qs);
        test::pressKey(*window, u"Done"_qs);
        QCOMPARE(finished.count(), 1);
        QVERIFY(m_settings.onboardingDone());
    }
};

QTEST_MAIN(OnboardingTest)
#include "tst_onboarding.moc"

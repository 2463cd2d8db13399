<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>AppGlyph</name>
    <message>
        <source>From phone</source>
        <translation>С телефона</translation>
    </message>
</context>
<context>
    <name>AudioFileError</name>
    <message>
        <source>Could not read the recording %1: %2</source>
        <translation>Не удалось прочитать запись %1: %2</translation>
    </message>
</context>
<context>
    <name>CancelledError</name>
    <message>
        <source>The request was cancelled.</source>
        <translation>Запрос отменён.</translation>
    </message>
</context>
<context>
    <name>ComputerBusyError</name>
    <message>
        <source>The computer is busy. Try again in a moment.</source>
        <translation>Компьютер занят. Попробуйте чуть позже.</translation>
    </message>
</context>
<context>
    <name>DictateCommand</name>
    <message>
        <source>Recording. Press Enter to stop.</source>
        <translation>Идёт запись. Нажмите Enter, чтобы остановить.</translation>
    </message>
    <message>
        <source>The recording was too short; nothing was sent.</source>
        <translation>Запись слишком короткая; ничего не отправлено.</translation>
    </message>
</context>
<context>
    <name>DictationCard</name>
    <message>
        <source>Dictation</source>
        <translation>Диктовка</translation>
    </message>
</context>
<context>
    <name>DictationStage</name>
    <message>
        <source>Turning speech into text…</source>
        <translation>Превращаем речь в текст…</translation>
    </message>
    <message>
        <source>Waiting for the transcript…</source>
        <translation>Ждём текст…</translation>
    </message>
    <message>
        <source>Still processing your audio…</source>
        <translation>Аудио ещё обрабатывается…</translation>
    </message>
    <message>
        <source>Preparing audio…</source>
        <translation>Готовим аудио…</translation>
    </message>
    <message>
        <source>Shortening silence…</source>
        <translation>Сокращаем паузы…</translation>
    </message>
    <message>
        <source>Trying again…</source>
        <translation>Повторная попытка…</translation>
    </message>
    <message>
        <source>Organizing your note…</source>
        <translation>Упорядочиваем заметку…</translation>
    </message>
    <message>
        <source>Preparing the result…</source>
        <translation>Готовим результат…</translation>
    </message>
</context>
<context>
    <name>Format</name>
    <message>
        <source>Today</source>
        <translation>Сегодня</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Вчера</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
    <message numerus="yes">
        <source>%1 words</source>
        <translation>
            <numerusform>%1 слово</numerusform>
            <numerusform>%1 слова</numerusform>
            <numerusform>%1 слов</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GeminiError</name>
    <message>
        <source>Gemini returned %1: %2</source>
        <translation>Gemini вернул %1: %2</translation>
    </message>
    <message>
        <source>Could not read the Gemini response: %1</source>
        <translation>Не удалось прочитать ответ Gemini: %1</translation>
    </message>
    <message>
        <source>No API key. Add it in Settings, or set GEMINI_API_KEY.</source>
        <translation>Нет ключа API. Добавьте его в настройках или задайте GEMINI_API_KEY.</translation>
    </message>
    <message>
        <source>Gemini returned no text.</source>
        <translation>Gemini не вернул текст.</translation>
    </message>
</context>
<context>
    <name>HotkeyKinds</name>
    <message>
        <source>Right Super</source>
        <translation>Правый Super</translation>
    </message>
</context>
<context>
    <name>HttpParser</name>
    <message>
        <source>The request headers are too long.</source>
        <translation>Заголовки запроса слишком длинные.</translation>
    </message>
    <message>
        <source>The request could not be read.</source>
        <translation>Не удалось прочитать запрос.</translation>
    </message>
    <message>
        <source>Wrong or missing token.</source>
        <translation>Неверный или отсутствующий код.</translation>
    </message>
    <message>
        <source>The Content-Length header is not valid.</source>
        <translation>Недопустимый заголовок Content-Length.</translation>
    </message>
    <message>
        <source>The recording is too large.</source>
        <translation>Запись слишком большая.</translation>
    </message>
</context>
<context>
    <name>InputAccess</name>
    <message>
        <source>Waiting for input access. Run “sudo usermod -aG input $USER” or install the udev rule that comes with Kavo Voice, then log out and back in.</source>
        <translation>Ожидание доступа к устройствам ввода. Выполните «sudo usermod -aG input $USER» или установите правило udev из комплекта Kavo Voice, затем выйдите из системы и войдите снова.</translation>
    </message>
</context>
<context>
    <name>InterfaceLanguage</name>
    <message>
        <source>System</source>
        <translation>Системный</translation>
    </message>
</context>
<context>
    <name>InvalidRequestError</name>
    <message>
        <source>The model name &quot;%1&quot; cannot form a web address.</source>
        <translation>Из названия модели «%1» нельзя составить веб-адрес.</translation>
    </message>
    <message>
        <source>The Gemini address cannot be formed from &quot;%1&quot;.</source>
        <translation>Адрес Gemini нельзя составить из «%1».</translation>
    </message>
</context>
<context>
    <name>NoSessionSource</name>
    <message>
        <source>The hotkey needs an X11 or Wayland desktop session, and none was found.</source>
        <translation>Для горячей клавиши нужен сеанс X11 или Wayland, но ни один не найден.</translation>
    </message>
</context>
<context>
    <name>NoteFiler</name>
    <message>
        <source>Meeting</source>
        <translation>Встреча</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Задачи</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Дневник</translation>
    </message>
    <message>
        <source>Idea</source>
        <translation>Идея</translation>
    </message>
</context>
<context>
    <name>NotesStore</name>
    <message>
        <source>Personal</source>
        <translation>Личное</translation>
    </message>
    <message>
        <source>Ideas</source>
        <translation>Идеи</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Новая папка</translation>
    </message>
</context>
<context>
    <name>PermissionRow</name>
    <message>
        <source>Allowed</source>
        <translation>Разрешено</translation>
    </message>
    <message>
        <source>Not allowed</source>
        <translation>Не разрешено</translation>
    </message>
</context>
<context>
    <name>PermissionsWindow</name>
    <message>
        <source>Kavo Voice needs your permission again</source>
        <translation>Kavo Voice снова нужно ваше разрешение</translation>
    </message>
    <message>
        <source>Some access Kavo Voice had is missing now. Until you turn it on again, the hotkey and dictation do not work.</source>
        <translation>У Kavo Voice пропала часть доступа, который был раньше. Пока вы его снова не включите, горячая клавиша и диктовка не работают.</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Микрофон</translation>
    </message>
    <message>
        <source>Connect a microphone, or check that the sound server (PulseAudio or PipeWire) runs.</source>
        <translation>Подключите микрофон или проверьте, что звуковой сервер (PulseAudio или PipeWire) запущен.</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Проверить снова</translation>
    </message>
    <message>
        <source>Input access</source>
        <translation>Доступ к вводу</translation>
    </message>
    <message>
        <source>Copy command</source>
        <translation>Скопировать команду</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Позже</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
</context>
<context>
    <name>PhoneServer</name>
    <message>
        <source>Could not create the HTTPS certificate.</source>
        <translation>Не удалось создать сертификат HTTPS.</translation>
    </message>
    <message>
        <source>Port %1 is already in use.</source>
        <translation>Порт %1 уже занят.</translation>
    </message>
</context>
<context>
    <name>Pill</name>
    <message>
        <source>Kavo Voice button</source>
        <translation>Кнопка Kavo Voice</translation>
    </message>
    <message>
        <source>Start dictation</source>
        <translation>Начать диктовку</translation>
    </message>
    <message>
        <source>Cancel (Esc)</source>
        <translation>Отмена (Esc)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
</context>
<context>
    <name>PillRules</name>
    <message>
        <source>Click to record, or press %1</source>
        <translation>Нажмите, чтобы записать, или нажмите %1</translation>
    </message>
    <message>
        <source>Click to record, or hold %1</source>
        <translation>Нажмите, чтобы записать, или удерживайте %1</translation>
    </message>
    <message>
        <source>Something went wrong</source>
        <translation>Что-то пошло не так</translation>
    </message>
</context>
<context>
    <name>RecorderFailure</name>
    <message>
        <source>Could not start the microphone. </source>
        <translation>Не удалось включить микрофон. </translation>
    </message>
    <message>
        <source>The chosen microphone is not available. Pick another one in Settings.</source>
        <translation>Выбранный микрофон недоступен. Выберите другой в настройках.</translation>
    </message>
    <message>
        <source>A recording is already running.</source>
        <translation>Запись уже идёт.</translation>
    </message>
</context>
<context>
    <name>RemoteClient</name>
    <message>
        <source>Kavo Voice cannot be reached: there is no D-Bus session bus.</source>
        <translation>Не удаётся связаться с Kavo Voice: нет сеансовой шины D-Bus.</translation>
    </message>
    <message>
        <source>Kavo Voice is not running.</source>
        <translation>Kavo Voice не запущен.</translation>
    </message>
    <message>
        <source>Kavo Voice did not answer.</source>
        <translation>Kavo Voice не ответил.</translation>
    </message>
    <message>
        <source>Kavo Voice did not take the request: %1</source>
        <translation>Kavo Voice не принял запрос: %1</translation>
    </message>
</context>
<context>
    <name>ScreenArea</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>Sidebar</name>
    <message>
        <source>Search</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Meetings</source>
        <translation>Встречи</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Recording... (Esc to cancel)</source>
        <translation>Идёт запись... (Esc — отмена)</translation>
    </message>
    <message>
        <source>Transcribing...</source>
        <translation>Расшифровка...</translation>
    </message>
    <message>
        <source>Something went wrong</source>
        <translation>Что-то пошло не так</translation>
    </message>
    <message>
        <source>Input access needed</source>
        <translation>Нужен доступ к устройствам ввода</translation>
    </message>
    <message>
        <source>Hold %1 to talk</source>
        <translation>Удерживайте %1, чтобы говорить</translation>
    </message>
    <message>
        <source>Press %1 to talk</source>
        <translation>Нажмите %1, чтобы говорить</translation>
    </message>
    <message>
        <source>Microphone: %1</source>
        <translation>Микрофон: %1</translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Системный по умолчанию</translation>
    </message>
    <message>
        <source>Open Kavo Voice</source>
        <translation>Открыть Kavo Voice</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Настройки…</translation>
    </message>
    <message>
        <source>Set up again</source>
        <translation>Настроить заново</translation>
    </message>
    <message>
        <source>Hide button</source>
        <translation>Скрыть кнопку</translation>
    </message>
    <message>
        <source>Show button</source>
        <translation>Показать кнопку</translation>
    </message>
    <message>
        <source>Last text: %1</source>
        <translation>Последний текст: %1</translation>
    </message>
    <message>
        <source>Insert last text again</source>
        <translation>Вставить последний текст ещё раз</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Проверить обновления</translation>
    </message>
    <message>
        <source>Open logs</source>
        <translation>Открыть журнал</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выйти</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Updates come through the package manager. Update Kavo Voice with your system&apos;s other software.</source>
        <translation>Обновления приходят через менеджер пакетов. Обновляйте Kavo Voice вместе с остальными программами системы.</translation>
    </message>
</context>
<context>
    <name>VocabularyWord</name>
    <message>
        <source>All languages</source>
        <translation>Все языки</translation>
    </message>
    <message>
        <source>Uzbek</source>
        <translation>Узбекский</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Added to the vocabulary</source>
        <translation>Добавлено в словарь</translation>
    </message>
    <message>
        <source>Already in the vocabulary</source>
        <translation>Уже есть в словаре</translation>
    </message>
</context>
<context>
    <name>kavo::AppDelegate</name>
    <message>
        <source>Add your Gemini API key in Settings.</source>
        <translation>Добавьте ключ Gemini API в настройках.</translation>
    </message>
</context>
<context>
    <name>kavo::AudioRecorder</name>
    <message>
        <source>System default</source>
        <translation>Системный по умолчанию</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Не подключён</translation>
    </message>
    <message>
        <source>the sound server did not answer within %1 seconds</source>
        <translation>звуковой сервер не ответил за %1 с</translation>
    </message>
</context>
<context>
    <name>kavo::DictationFlow</name>
    <message>
        <source>Not transcribed</source>
        <translation>Не расшифровано</translation>
    </message>
    <message>
        <source>The audio is saved. Try again from History.</source>
        <translation>Аудио сохранено. Повторите попытку из истории.</translation>
    </message>
    <message>
        <source>The note was deleted</source>
        <translation>Заметка удалена</translation>
    </message>
    <message>
        <source>The text is saved in History</source>
        <translation>Текст сохранён в истории</translation>
    </message>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>Added to the note</source>
        <translation>Добавлено в заметку</translation>
    </message>
    <message>
        <source>Saved to folder</source>
        <translation>Сохранено в папку</translation>
    </message>
    <message>
        <source>From phone</source>
        <translation>С телефона</translation>
    </message>
    <message>
        <source>Transcribed</source>
        <translation>Расшифровано</translation>
    </message>
</context>
<context>
    <name>kavo::EvdevInputSource</name>
    <message>
        <source>The hotkey cannot read the keyboard: %1 does not exist.</source>
        <translation>Горячая клавиша не может читать клавиатуру: %1 не существует.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard. To allow it, run “sudo usermod -aG input $USER”, then log out and back in (or install the udev rule that comes with Kavo Voice).</source>
        <translation>Горячая клавиша не может читать клавиатуру. Чтобы разрешить, выполните «sudo usermod -aG input $USER», затем выйдите из системы и войдите снова (или установите правило udev, которое идёт с Kavo Voice).</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: there is no keyboard in %1.</source>
        <translation>Горячая клавиша не может читать клавиатуру: в %1 нет клавиатуры.</translation>
    </message>
</context>
<context>
    <name>kavo::MainView</name>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>Vocabulary</source>
        <translation>Словарь</translation>
    </message>
    <message>
        <source>From phone</source>
        <translation>С телефона</translation>
    </message>
    <message>
        <source>Listening…</source>
        <translation>Слушаю…</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Press once and talk. Press again and the text is typed.</source>
        <translation>Нажмите один раз и говорите. Нажмите снова — и текст будет напечатан.</translation>
    </message>
    <message>
        <source>Hold and talk. When you let go, the text is typed where the cursor is.</source>
        <translation>Удерживайте и говорите. Когда отпустите, текст будет напечатан там, где курсор.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Try it</source>
        <translation>Попробовать</translation>
    </message>
</context>
<context>
    <name>kavo::MicTest</name>
    <message>
        <source>The microphone did not start</source>
        <translation>Микрофон не запустился</translation>
    </message>
</context>
<context>
    <name>kavo::Navigation</name>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Сочетания клавиш</translation>
    </message>
    <message>
        <source>AI and languages</source>
        <translation>ИИ и языки</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Микрофон</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Дополнительно</translation>
    </message>
</context>
<context>
    <name>kavo::PermissionsView</name>
    <message>
        <source>The hotkey and typing need the X server&apos;s XInput2 and XTEST extensions. Start Kavo Voice in a desktop session whose X server has them.</source>
        <translation>Горячей клавише и печати нужны расширения XInput2 и XTEST X-сервера. Запустите Kavo Voice в сеансе, X-сервер которого их поддерживает.</translation>
    </message>
    <message>
        <source>In a Wayland session the hotkey reads the keyboard under /dev/input, and pasting types through /dev/uinput. Joining the &quot;input&quot; group gives that access (and every program you run access to all input devices); the udev rule shipped with Kavo Voice gives the person at the computer access to keyboards and /dev/uinput only. Then log out and back in.</source>
        <translation>В сеансе Wayland горячая клавиша читает клавиатуру из /dev/input, а вставка печатает через /dev/uinput. Этот доступ даёт группа «input» (и вместе с ним доступ ко всем устройствам ввода для любой вашей программы); правило udev из комплекта Kavo Voice даёт человеку за компьютером доступ только к клавиатурам и /dev/uinput. Затем выйдите из сеанса и войдите снова.</translation>
    </message>
</context>
<context>
    <name>kavo::PhoneServer</name>
    <message>
        <source>The recording was empty.</source>
        <translation>Запись была пустой.</translation>
    </message>
</context>
<context>
    <name>kavo::PillView</name>
    <message>
        <source>Listening</source>
        <translation>Слушаю</translation>
    </message>
</context>
<context>
    <name>kavo::TextInjector</name>
    <message>
        <source>The text is on the clipboard</source>
        <translation>Текст в буфере обмена</translation>
    </message>
    <message>
        <source>Paste it with Ctrl+V. To let Kavo Voice paste by itself, give it access to /dev/uinput: install the udev rule that comes with it.</source>
        <translation>Вставьте его сочетанием Ctrl+V. Чтобы Kavo Voice вставлял текст сам, дайте ему доступ к /dev/uinput: установите правило udev, которое идёт с программой.</translation>
    </message>
</context>
<context>
    <name>kavo::X11InputSource</name>
    <message>
        <source>The hotkey cannot read the keyboard: no X display is set.</source>
        <translation>Горячая клавиша не может читать клавиатуру: дисплей X не задан.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X display %1 cannot be opened.</source>
        <translation>Горячая клавиша не может читать клавиатуру: не удаётся открыть дисплей X %1.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X server lacks the XInput2 extension.</source>
        <translation>Горячая клавиша не может читать клавиатуру: у сервера X нет расширения XInput2.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X server lacks the XTEST extension.</source>
        <translation>Горячая клавиша не может читать клавиатуру: у сервера X нет расширения XTEST.</translation>
    </message>
</context>
<context>
    <name>kavo::cli</name>
    <message>
        <source>Not transcribed: </source>
        <translation>Не расшифровано: </translation>
    </message>
    <message>
        <source>Phone server listening on port %1 (HTTPS) and %2 (HTTP).</source>
        <translation>Сервер для телефона слушает порты %1 (HTTPS) и %2 (HTTP).</translation>
    </message>
    <message>
        <source>Phone server listening on port %1 (HTTPS).</source>
        <translation>Сервер для телефона слушает порт %1 (HTTPS).</translation>
    </message>
    <message>
        <source>No network address to show: connect this computer to the phone&apos;s Wi-Fi network.</source>
        <translation>Нет сетевого адреса: подключите этот компьютер к сети Wi-Fi телефона.</translation>
    </message>
    <message>
        <source>Open on the phone, on the same Wi-Fi network:</source>
        <translation>Откройте на телефоне в той же сети Wi-Fi:</translation>
    </message>
    <message>
        <source>For phone shortcuts (POST a recording, read &quot;text&quot; from the JSON reply):</source>
        <translation>Для быстрых команд телефона (отправьте запись методом POST, прочитайте &quot;text&quot; из ответа JSON):</translation>
    </message>
    <message>
        <source>The phone&apos;s browser warns about the certificate once: it is this computer&apos;s own. Press Ctrl+C to stop.</source>
        <translation>Браузер телефона один раз предупредит о сертификате: это собственный сертификат этого компьютера. Нажмите Ctrl+C, чтобы остановить.</translation>
    </message>
</context>
</TS>

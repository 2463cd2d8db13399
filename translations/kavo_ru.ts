<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>AdvancedTab</name>
    <message>
        <source>Text insertion</source>
        <translation>Вставка текста</translation>
    </message>
    <message>
        <source>How the text gets into the app</source>
        <translation>Как текст попадает в приложение</translation>
    </message>
    <message>
        <source>Line break</source>
        <translation>Перенос строки</translation>
    </message>
    <message>
        <source>A plain Return sends the message in a chat</source>
        <translation>Обычный Return отправляет сообщение в чате</translation>
    </message>
    <message>
        <source>Keep audio files</source>
        <translation>Сохранять аудиофайлы</translation>
    </message>
    <message>
        <source>Recordings stay in the data folder after they are written out</source>
        <translation>Записи остаются в папке данных после распознавания</translation>
    </message>
    <message>
        <source>Phone server</source>
        <translation>Сервер для телефона</translation>
    </message>
    <message>
        <source>A phone on the same Wi-Fi can dictate into this computer</source>
        <translation>Телефон в той же сети Wi-Fi может диктовать на этот компьютер</translation>
    </message>
    <message>
        <source>Type phone text into the front app</source>
        <translation>Печатать текст с телефона в активное приложение</translation>
    </message>
    <message>
        <source>Otherwise it is only kept in History</source>
        <translation>Иначе он только сохраняется в Истории</translation>
    </message>
    <message>
        <source>HTTP for iOS Shortcuts</source>
        <translation>HTTP для «Команд» iOS</translation>
    </message>
    <message>
        <source>Shortcuts cannot use the secure address; this one is not encrypted</source>
        <translation>«Команды» не могут использовать защищённый адрес; этот не шифруется</translation>
    </message>
    <message>
        <source>Shortcut address</source>
        <translation>Адрес для команды</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Скопировано</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Make the Shortcut</source>
        <translation>Создайте команду</translation>
    </message>
    <message>
        <source>In the Shortcuts app on the iPhone</source>
        <translation>В приложении «Команды» на iPhone</translation>
    </message>
    <message>
        <source>Create a new shortcut.</source>
        <translation>Создайте новую команду.</translation>
    </message>
    <message>
        <source>Add “Record Audio”. Set it to start right away and to finish on tap.</source>
        <translation>Добавьте «Записать аудио». Пусть запись начинается сразу и заканчивается по нажатию.</translation>
    </message>
    <message>
        <source>Add “Get Contents of URL” with the address above. Method: POST. Request Body: File, with the recorded audio.</source>
        <translation>Добавьте «Получить содержимое URL» с адресом выше. Метод: POST. Тело запроса: файл с записанным аудио.</translation>
    </message>
    <message>
        <source>Add “Get Dictionary Value” with the key “text”.</source>
        <translation>Добавьте «Получить значение из словаря» с ключом «text».</translation>
    </message>
    <message>
        <source>Add “Show Result” to see the text.</source>
        <translation>Добавьте «Показать результат», чтобы увидеть текст.</translation>
    </message>
    <message>
        <source>Put the shortcut on the Action Button, Back Tap or the Home Screen.</source>
        <translation>Поместите команду на кнопку действия, в «Касание задней панели» или на экран «Домой».</translation>
    </message>
    <message>
        <source>Keep history</source>
        <translation>Хранить историю</translation>
    </message>
    <message>
        <source>Older entries are deleted automatically</source>
        <translation>Старые записи удаляются автоматически</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Папка данных</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open the data folder</source>
        <translation>Открыть папку данных</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Save history, notes and vocabulary in one file</source>
        <translation>Сохранить историю, заметки и словарь в один файл</translation>
    </message>
    <message>
        <source>Exported</source>
        <translation>Экспортировано</translation>
    </message>
    <message>
        <source>Export all</source>
        <translation>Экспортировать всё</translation>
    </message>
    <message>
        <source>ZIP archives (*.zip)</source>
        <translation>ZIP-архивы (*.zip)</translation>
    </message>
    <message>
        <source>Delete all data</source>
        <translation>Удалить все данные</translation>
    </message>
    <message>
        <source>History, notes and vocabulary</source>
        <translation>История, заметки и словарь</translation>
    </message>
    <message>
        <source>Confirm — this cannot be undone</source>
        <translation>Подтвердите — это нельзя отменить</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Подтвердить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Model instructions</source>
        <translation>Инструкции для модели</translation>
    </message>
    <message>
        <source>The cleanup switches and the vocabulary are added to it by themselves</source>
        <translation>Настройки очистки и словарь добавляются к ним сами</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>Инструкция</translation>
    </message>
    <message>
        <source>Thinking level</source>
        <translation>Уровень размышления</translation>
    </message>
    <message>
        <source>How much the model thinks before it writes</source>
        <translation>Сколько модель думает перед ответом</translation>
    </message>
</context>
<context>
    <name>AiTab</name>
    <message>
        <source>Model</source>
        <translation>Модель</translation>
    </message>
    <message>
        <source>Flash — faster, Pro — more accurate</source>
        <translation>Flash — быстрее, Pro — точнее</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Языки</translation>
    </message>
    <message>
        <source>Understands you even when you mix languages</source>
        <translation>Понимает, даже когда вы смешиваете языки</translation>
    </message>
    <message>
        <source>Add a language</source>
        <translation>Добавить язык</translation>
    </message>
    <message>
        <source>Text cleanup</source>
        <translation>Очистка текста</translation>
    </message>
    <message>
        <source>Remove filler words</source>
        <translation>Убирать слова-паразиты</translation>
    </message>
    <message>
        <source>Words like «uh», «um» and «like» are left out</source>
        <translation>Слова вроде «э», «ну» и «как бы» опускаются</translation>
    </message>
    <message>
        <source>Punctuation</source>
        <translation>Пунктуация</translation>
    </message>
    <message>
        <source>Puts in commas, full stops and question marks by itself</source>
        <translation>Сам ставит запятые, точки и вопросительные знаки</translation>
    </message>
    <message>
        <source>Understand self-corrections</source>
        <translation>Понимать самоисправления</translation>
    </message>
    <message>
        <source>«at ten, no, at eleven» — only the last one is written</source>
        <translation>«в десять, нет, в одиннадцать» — пишется только последнее</translation>
    </message>
    <message>
        <source>Gemini API key</source>
        <translation>Ключ API Gemini</translation>
    </message>
    <message>
        <source>Paste the key here</source>
        <translation>Вставьте ключ сюда</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Скрыть</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Показать</translation>
    </message>
    <message>
        <source>Get a key for free:</source>
        <translation>Получите ключ бесплатно:</translation>
    </message>
    <message>
        <source>Google AI Studio</source>
        <translation>Google AI Studio</translation>
    </message>
    <message>
        <source>Your voice goes straight to Google, with your own key. If you go over the free limit, you pay Google directly.</source>
        <translation>Ваш голос идёт прямо в Google, с вашим собственным ключом. Если вы превысите бесплатный лимит, вы платите Google напрямую.</translation>
    </message>
</context>
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
    <name>ConnectionCard</name>
    <message>
        <source>QR code for the phone</source>
        <translation>QR-код для телефона</translation>
    </message>
    <message>
        <source>Copy link</source>
        <translation>Копировать ссылку</translation>
    </message>
    <message>
        <source>QR code — no link yet</source>
        <translation>QR-код — ссылки пока нет</translation>
    </message>
</context>
<context>
    <name>DeleteFolderDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
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
    <name>DictionaryTab</name>
    <message>
        <source>Kavo Voice always spells these words right — names, terms, brands.</source>
        <translation>Kavo Voice всегда пишет эти слова правильно — имена, термины, бренды.</translation>
    </message>
    <message>
        <source>Add words, separated by commas</source>
        <translation>Добавьте слова через запятую</translation>
    </message>
    <message>
        <source>Language of new words</source>
        <translation>Язык новых слов</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Импорт</translation>
    </message>
    <message>
        <source>Your vocabulary</source>
        <translation>Ваш словарь</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Подтвердить</translation>
    </message>
    <message>
        <source>Saved on this computer</source>
        <translation>Хранится на этом компьютере</translation>
    </message>
    <message>
        <source>Text files (*.txt *.csv)</source>
        <translation>Текстовые файлы (*.txt *.csv)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Обычный текст (*.txt)</translation>
    </message>
</context>
<context>
    <name>EmptyFolder</name>
    <message>
        <source>No notes in this folder yet.</source>
        <translation>В этой папке пока нет заметок.</translation>
    </message>
    <message>
        <source>Create the first note, or say it with dictation.</source>
        <translation>Создайте первую заметку или надиктуйте её.</translation>
    </message>
    <message>
        <source>Create note</source>
        <translation>Создать заметку</translation>
    </message>
</context>
<context>
    <name>EntryEditor</name>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>FolderRow</name>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
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
    <name>GeneralTab</name>
    <message>
        <source>Theme</source>
        <translation>Тема</translation>
    </message>
    <message>
        <source>Light, dark or match the system</source>
        <translation>Светлая, тёмная или как в системе</translation>
    </message>
    <message>
        <source>Dictation sounds</source>
        <translation>Звуки диктовки</translation>
    </message>
    <message>
        <source>A short signal when recording starts and ends</source>
        <translation>Короткий сигнал в начале и конце записи</translation>
    </message>
    <message>
        <source>Pause music</source>
        <translation>Ставить музыку на паузу</translation>
    </message>
    <message>
        <source>Pauses music and video while you dictate</source>
        <translation>Ставит музыку и видео на паузу, пока вы диктуете</translation>
    </message>
    <message>
        <source>Turn off notifications</source>
        <translation>Отключить уведомления</translation>
    </message>
    <message>
        <source>Kavo Voice shows no notifications at all</source>
        <translation>Kavo Voice совсем не показывает уведомления</translation>
    </message>
    <message>
        <source>Start with the computer</source>
        <translation>Запускать вместе с компьютером</translation>
    </message>
    <message>
        <source>The app waits in the background</source>
        <translation>Приложение ждёт в фоне</translation>
    </message>
    <message>
        <source>Interface language</source>
        <translation>Язык интерфейса</translation>
    </message>
    <message>
        <source>The app restarts to switch the language</source>
        <translation>Для смены языка приложение перезапустится</translation>
    </message>
    <message>
        <source>Floating button</source>
        <translation>Плавающая кнопка</translation>
    </message>
    <message>
        <source>Sits at the bottom of the screen; click it to dictate</source>
        <translation>Находится внизу экрана; нажмите, чтобы диктовать</translation>
    </message>
</context>
<context>
    <name>HistoryCard</name>
    <message>
        <source>Cancelled</source>
        <translation>Отменено</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>HistoryScreen</name>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Отменённые</translation>
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
    <name>HowItWorksCard</name>
    <message>
        <source>How it works</source>
        <translation>Как это работает</translation>
    </message>
    <message>
        <source>Scan the QR code with your phone&apos;s camera.</source>
        <translation>Отсканируйте QR-код камерой телефона.</translation>
    </message>
    <message>
        <source>On the page that opens, tap the microphone and talk.</source>
        <translation>На открывшейся странице нажмите на микрофон и говорите.</translation>
    </message>
    <message>
        <source>Tap «Kompyuterga yuborish» — the text appears in History.</source>
        <translation>Нажмите «Kompyuterga yuborish» — текст появится в Истории.</translation>
    </message>
    <message>
        <source>Nothing needs to be installed on the phone. The audio comes straight to your computer.</source>
        <translation>На телефон ничего устанавливать не нужно. Звук приходит прямо на ваш компьютер.</translation>
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
    <name>MicrophoneTab</name>
    <message>
        <source>Microphone</source>
        <translation>Микрофон</translation>
    </message>
    <message>
        <source>For dictation</source>
        <translation>Для диктовки</translation>
    </message>
    <message>
        <source>Noise reduction</source>
        <translation>Шумоподавление</translation>
    </message>
    <message>
        <source>Lowers background noise and keyboard sounds</source>
        <translation>Снижает фоновый шум и звук клавиатуры</translation>
    </message>
    <message>
        <source>Shorten long pauses</source>
        <translation>Сокращать длинные паузы</translation>
    </message>
    <message>
        <source>Long silences are cut before the audio is sent</source>
        <translation>Длинная тишина вырезается перед отправкой</translation>
    </message>
    <message>
        <source>Sound level</source>
        <translation>Уровень звука</translation>
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
    <name>NoteEditor</name>
    <message>
        <source>Delete note</source>
        <translation>Удалить заметку</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Заголовок</translation>
    </message>
    <message>
        <source>Write, or press the dictation button and speak…</source>
        <translation>Пишите или нажмите кнопку диктовки и говорите…</translation>
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
    <name>NotesScreen</name>
    <message>
        <source>Notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Папки</translation>
    </message>
    <message>
        <source>Add folder</source>
        <translation>Добавить папку</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Новая заметка</translation>
    </message>
    <message>
        <source>Search notes</source>
        <translation>Поиск по заметкам</translation>
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
    <name>OnboardingWindow</name>
    <message>
        <source>Microphone</source>
        <translation>Микрофон</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Проверить снова</translation>
    </message>
    <message>
        <source>Keyboard access</source>
        <translation>Доступ к клавиатуре</translation>
    </message>
    <message>
        <source>Copy command</source>
        <translation>Копировать команду</translation>
    </message>
    <message>
        <source>Google AI Studio</source>
        <translation>Google AI Studio</translation>
    </message>
    <message>
        <source>«Create API key»</source>
        <translation>«Create API key»</translation>
    </message>
    <message>
        <source>Paste it here</source>
        <translation>Вставьте сюда</translation>
    </message>
    <message>
        <source>Talk key</source>
        <translation>Клавиша для речи</translation>
    </message>
    <message>
        <source>More info</source>
        <translation>Подробнее</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Назад</translation>
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
    <name>PhoneScreen</name>
    <message>
        <source>Record from your phone</source>
        <translation>Запись с телефона</translation>
    </message>
    <message>
        <source>Talk even when you are away from the computer — the text appears here.</source>
        <translation>Говорите, даже когда вы не у компьютера, — текст появится здесь.</translation>
    </message>
    <message>
        <source>Recordings from the phone</source>
        <translation>Записи с телефона</translation>
    </message>
    <message>
        <source>No recordings from the phone yet.</source>
        <translation>Записей с телефона пока нет.</translation>
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
    <name>RecordingRow</name>
    <message>
        <source>Copy text</source>
        <translation>Копировать текст</translation>
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
    <name>ServerOffCard</name>
    <message>
        <source>The phone server is off</source>
        <translation>Сервер для телефона выключен</translation>
    </message>
    <message>
        <source>It works only on this Wi-Fi, through a secret link.</source>
        <translation>Он работает только в этой сети Wi-Fi, по секретной ссылке.</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Включить</translation>
    </message>
</context>
<context>
    <name>SettingsOptions</name>
    <message>
        <source>%1 ms</source>
        <translation>%1 мс</translation>
    </message>
    <message>
        <source>Forever</source>
        <translation>Всегда</translation>
    </message>
    <message numerus="yes">
        <source>%n days</source>
        <translation>
            <numerusform>%n день</numerusform>
            <numerusform>%n дня</numerusform>
            <numerusform>%n дней</numerusform>
        </translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Системный по умолчанию</translation>
    </message>
    <message>
        <source>Microphone not connected</source>
        <translation>Микрофон не подключён</translation>
    </message>
    <message>
        <source>Not checked</source>
        <translation>Не проверен</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Проверка</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключён</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Тёмная</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Hold</source>
        <translation>Удерживать</translation>
    </message>
    <message>
        <source>Press once</source>
        <translation>Нажать один раз</translation>
    </message>
    <message>
        <source>Paste (Ctrl+V)</source>
        <translation>Вставить (Ctrl+V)</translation>
    </message>
    <message>
        <source>Type it out</source>
        <translation>Напечатать</translation>
    </message>
    <message>
        <source>Shift + Return (does not send)</source>
        <translation>Shift + Return (не отправляет)</translation>
    </message>
    <message>
        <source>Alt + Return</source>
        <translation>Alt + Return</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Return</translation>
    </message>
    <message>
        <source>A space instead</source>
        <translation>Вместо него пробел</translation>
    </message>
    <message>
        <source>Model default</source>
        <translation>По умолчанию модели</translation>
    </message>
    <message>
        <source>Low (fastest)</source>
        <translation>Низкий (быстрее всего)</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокий</translation>
    </message>
</context>
<context>
    <name>SettingsPanel</name>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Клавиши</translation>
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
    <name>ShortcutsTab</name>
    <message>
        <source>Dictation</source>
        <translation>Диктовка</translation>
    </message>
    <message>
        <source>Change keys</source>
        <translation>Изменить клавиши</translation>
    </message>
    <message>
        <source>Dictation mode</source>
        <translation>Режим диктовки</translation>
    </message>
    <message>
        <source>Hold time</source>
        <translation>Время удержания</translation>
    </message>
    <message>
        <source>How long to hold the keys before recording starts</source>
        <translation>Сколько держать клавиши до начала записи</translation>
    </message>
    <message>
        <source>Cancel dictation</source>
        <translation>Отменить диктовку</translation>
    </message>
    <message>
        <source>Not typed; kept in History as cancelled</source>
        <translation>Не печатается; хранится в Истории как отменённая</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Until then, a keyboard shortcut of your desktop&apos;s own can start and stop dictation with this command:</source>
        <translation>А пока диктовку может запускать и останавливать сочетание клавиш самого рабочего стола с этой командой:</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Скопировано</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Copy the command</source>
        <translation>Скопировать команду</translation>
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
    <name>SnippetCard</name>
    <message>
        <source>Trigger phrase</source>
        <translation>Короткая фраза</translation>
    </message>
    <message>
        <source>Short phrase</source>
        <translation>Короткая фраза</translation>
    </message>
    <message>
        <source>Full text to type</source>
        <translation>Полный текст для ввода</translation>
    </message>
    <message>
        <source>for example, my address</source>
        <translation>например, мой адрес</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>SnippetsTab</name>
    <message>
        <source>Say a short phrase — the full text is typed.</source>
        <translation>Скажите короткую фразу — будет напечатан полный текст.</translation>
    </message>
    <message>
        <source>New snippet</source>
        <translation>Новый шаблон</translation>
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
    <name>VocabularyScreen</name>
    <message>
        <source>Vocabulary</source>
        <translation>Словарь</translation>
    </message>
    <message>
        <source>Dictionary</source>
        <translation>Словарь</translation>
    </message>
    <message>
        <source>Snippets</source>
        <translation>Шаблоны</translation>
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
    <name>kavo::DataView</name>
    <message>
        <source>Exported</source>
        <translation>Экспортировано</translation>
    </message>
    <message>
        <source>Data deleted</source>
        <translation>Данные удалены</translation>
    </message>
    <message>
        <source>History, notes and vocabulary were cleared</source>
        <translation>История, заметки и словарь очищены</translation>
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
    <name>kavo::FolderListModel</name>
    <message>
        <source>All notes</source>
        <translation>Все заметки</translation>
    </message>
</context>
<context>
    <name>kavo::HistoryModel</name>
    <message>
        <source>Audio saved on your computer · </source>
        <translation>Аудио сохранено на компьютере · </translation>
    </message>
    <message>
        <source>Transcribe</source>
        <translation>Распознать</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Transcribing again…</source>
        <translation>Повторное распознавание…</translation>
    </message>
    <message>
        <source>No internet — not transcribed</source>
        <translation>Нет интернета — не распознано</translation>
    </message>
    <message>
        <source>Not transcribed</source>
        <translation>Не распознано</translation>
    </message>
    <message>
        <source>Never transcribed</source>
        <translation>Не распознавалось</translation>
    </message>
</context>
<context>
    <name>kavo::HistoryView</name>
    <message>
        <source>Today </source>
        <translation>Сегодня </translation>
    </message>
    <message>
        <source> words</source>
        <translation> слов</translation>
    </message>
    <message>
        <source> · this week </source>
        <translation> · на этой неделе </translation>
    </message>
    <message>
        <source> — about </source>
        <translation> — около </translation>
    </message>
    <message>
        <source> minutes saved</source>
        <translation> минут сэкономлено</translation>
    </message>
    <message>
        <source>No recordings yet.</source>
        <translation>Записей пока нет.</translation>
    </message>
    <message>
        <source>Nothing found.</source>
        <translation>Ничего не найдено.</translation>
    </message>
    <message>
        <source>Try another word or clear the search.</source>
        <translation>Попробуйте другое слово или очистите поиск.</translation>
    </message>
    <message>
        <source>Press the key and talk — the text is kept here.</source>
        <translation>Нажмите клавишу и говорите — текст сохранится здесь.</translation>
    </message>
    <message>
        <source>Hold the key and talk — the text is kept here.</source>
        <translation>Удерживайте клавишу и говорите — текст сохранится здесь.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Подтвердить</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>History cleared</source>
        <translation>История очищена</translation>
    </message>
    <message>
        <source>You cannot undo this</source>
        <translation>Это нельзя отменить</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Скопировано</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Удалено</translation>
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
    <name>kavo::NoteListModel</name>
    <message>
        <source>Untitled note</source>
        <translation>Заметка без названия</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Пусто</translation>
    </message>
</context>
<context>
    <name>kavo::NotesView</name>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Write by voice</source>
        <translation>Надиктовать</translation>
    </message>
    <message>
        <source>Delete the folder “%1”?</source>
        <translation>Удалить папку «%1»?</translation>
    </message>
    <message>
        <source>The %1 notes in it are deleted too.</source>
        <translation>Заметки в ней (%1) тоже будут удалены.</translation>
    </message>
    <message>
        <source>Note deleted</source>
        <translation>Заметка удалена</translation>
    </message>
</context>
<context>
    <name>kavo::OnboardingView</name>
    <message>
        <source>Which languages do you speak?</source>
        <translation>На каких языках вы говорите?</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Микрофон</translation>
    </message>
    <message>
        <source>Keyboard access</source>
        <translation>Доступ к клавиатуре</translation>
    </message>
    <message>
        <source>Gemini API key</source>
        <translation>Ключ API Gemini</translation>
    </message>
    <message>
        <source>Try it</source>
        <translation>Попробуйте</translation>
    </message>
    <message>
        <source>You can pick more than one.</source>
        <translation>Можно выбрать несколько.</translation>
    </message>
    <message>
        <source>Records only while you hold the key.</source>
        <translation>Записывает, только пока вы держите клавишу.</translation>
    </message>
    <message>
        <source>Records only from one key press to the next.</source>
        <translation>Записывает только от одного нажатия до следующего.</translation>
    </message>
    <message>
        <source>Needed to type the text where your cursor is.</source>
        <translation>Нужно, чтобы печатать текст там, где курсор.</translation>
    </message>
    <message>
        <source>Turning speech into text needs a free key.</source>
        <translation>Для распознавания речи нужен бесплатный ключ.</translation>
    </message>
    <message>
        <source>Hold the keys, talk, and let go.</source>
        <translation>Удерживайте клавиши, говорите и отпустите.</translation>
    </message>
    <message>
        <source>Press the keys, talk, and press them again.</source>
        <translation>Нажмите клавиши, говорите и нажмите снова.</translation>
    </message>
    <message>
        <source>Even if you mix languages in one sentence, Kavo Voice writes each word in the language it was said in.</source>
        <translation>Даже если вы смешиваете языки в одном предложении, Kavo Voice пишет каждое слово на том языке, на котором оно сказано.</translation>
    </message>
    <message>
        <source>It also records when you press the floating button on the screen. The microphone is not used at any other time.</source>
        <translation>Запись идёт и при нажатии плавающей кнопки на экране. В остальное время микрофон не используется.</translation>
    </message>
    <message>
        <source>Linux asks for this so Kavo Voice can notice the keys and type text in any app. What you type is never saved or sent anywhere.</source>
        <translation>Linux запрашивает это, чтобы Kavo Voice замечал клавиши и печатал текст в любом приложении. То, что вы печатаете, нигде не сохраняется и никуда не отправляется.</translation>
    </message>
    <message>
        <source>Getting a key takes about a minute. The free tier has a daily limit, and Google may use the requests to improve its products. With billing turned on, neither applies.</source>
        <translation>Получение ключа занимает около минуты. У бесплатного тарифа есть дневной лимит, и Google может использовать запросы для улучшения своих продуктов. С включённой оплатой ни то ни другое не действует.</translation>
    </message>
    <message>
        <source>The text appears where the cursor is — here now, and in any app later. You can also talk with the floating button at the bottom of the screen. Everything you say is kept in History.</source>
        <translation>Текст появляется там, где курсор, — сейчас здесь, а потом в любом приложении. Говорить можно и через плавающую кнопку внизу экрана. Всё сказанное сохраняется в Истории.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Kavo Voice can read the keys and type in this session.</source>
        <translation>Kavo Voice может читать клавиши и печатать в этом сеансе.</translation>
    </message>
    <message>
        <source>In an X11 session Kavo Voice can read the keys and type right away: there is nothing to turn on.</source>
        <translation>В сеансе X11 Kavo Voice сразу может читать клавиши и печатать: ничего включать не нужно.</translation>
    </message>
    <message>
        <source>Waiting for permission…</source>
        <translation>Ожидание разрешения…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Проверка…</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>The key works · </source>
        <translation>Ключ работает · </translation>
    </message>
    <message>
        <source>Hold the keys and talk</source>
        <translation>Удерживайте клавиши и говорите</translation>
    </message>
    <message>
        <source>Press the keys and talk</source>
        <translation>Нажмите клавиши и говорите</translation>
    </message>
    <message>
        <source>Listening…</source>
        <translation>Слушаю…</translation>
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
    <name>kavo::PhoneConnection</name>
    <message>
        <source>The computer is busy. Try again in a moment.</source>
        <translation>Компьютер занят. Попробуйте чуть позже.</translation>
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
    <name>kavo::PhoneView</name>
    <message>
        <source>Phone connected — you can talk</source>
        <translation>Телефон подключён — можно говорить</translation>
    </message>
    <message>
        <source>Waiting for the phone</source>
        <translation>Ожидание телефона</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>New code</source>
        <translation>Новый код</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Скопировано</translation>
    </message>
    <message>
        <source>Phone connected</source>
        <translation>Телефон подключён</translation>
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
    <name>kavo::SettingsView</name>
    <message>
        <source>Hold and talk</source>
        <translation>Удерживайте и говорите</translation>
    </message>
    <message>
        <source>Press once, talk, press again</source>
        <translation>Нажмите, говорите, нажмите снова</translation>
    </message>
    <message>
        <source>Recording stops when you let go</source>
        <translation>Запись останавливается, когда вы отпускаете</translation>
    </message>
    <message>
        <source>Recording stops when you press again</source>
        <translation>Запись останавливается при повторном нажатии</translation>
    </message>
    <message>
        <source>Speak — the green bars follow your voice.</source>
        <translation>Говорите — зелёные полоски следуют за голосом.</translation>
    </message>
    <message>
        <source>Press Test and say a few words.</source>
        <translation>Нажмите «Проверить» и скажите несколько слов.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>The address appears once this computer is on Wi-Fi</source>
        <translation>Адрес появится, когда этот компьютер подключится к Wi-Fi</translation>
    </message>
    <message>
        <source>The address appears once the phone server is on</source>
        <translation>Адрес появится, когда сервер для телефона будет включён</translation>
    </message>
</context>
<context>
    <name>kavo::SnippetModel</name>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>Удалить %1</translation>
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
    <name>kavo::VocabularyModel</name>
    <message>
        <source>Delete %1</source>
        <translation>Удалить %1</translation>
    </message>
</context>
<context>
    <name>kavo::VocabularyView</name>
    <message>
        <source>The vocabulary is empty. Add names, terms and brands — Kavo Voice will always spell them right.</source>
        <translation>Словарь пуст. Добавьте имена, термины и бренды — Kavo Voice всегда будет писать их правильно.</translation>
    </message>
    <message>
        <source>No snippets yet. Add a short phrase and the full text it stands for.</source>
        <translation>Шаблонов пока нет. Добавьте короткую фразу и полный текст, который она заменяет.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Нечего экспортировать</translation>
    </message>
    <message>
        <source>The vocabulary is empty.</source>
        <translation>Словарь пуст.</translation>
    </message>
    <message>
        <source>Exported</source>
        <translation>Экспортировано</translation>
    </message>
    <message>
        <source>Imported</source>
        <translation>Импортировано</translation>
    </message>
    <message numerus="yes">
        <source>%1 new words</source>
        <translation>
            <numerusform>%1 новое слово</numerusform>
            <numerusform>%1 новых слова</numerusform>
            <numerusform>%1 новых слов</numerusform>
        </translation>
    </message>
    <message>
        <source>No new words</source>
        <translation>Новых слов нет</translation>
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

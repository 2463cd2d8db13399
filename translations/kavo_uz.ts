<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr">
<context>
    <name>AppGlyph</name>
    <message>
        <source>From phone</source>
        <translation>Telefondan</translation>
    </message>
</context>
<context>
    <name>AudioFileError</name>
    <message>
        <source>Could not read the recording %1: %2</source>
        <translation>%1 yozuvini oʻqib boʻlmadi: %2</translation>
    </message>
</context>
<context>
    <name>CancelledError</name>
    <message>
        <source>The request was cancelled.</source>
        <translation>Soʻrov bekor qilindi.</translation>
    </message>
</context>
<context>
    <name>ComputerBusyError</name>
    <message>
        <source>The computer is busy. Try again in a moment.</source>
        <translation>Kompyuter band. Birozdan keyin qayta urining.</translation>
    </message>
</context>
<context>
    <name>ConnectionCard</name>
    <message>
        <source>QR code for the phone</source>
        <translation>Telefon uchun QR kod</translation>
    </message>
    <message>
        <source>Copy link</source>
        <translation>Havolani nusxalash</translation>
    </message>
    <message>
        <source>QR code — no link yet</source>
        <translation>QR kod — havola hali yoʻq</translation>
    </message>
</context>
<context>
    <name>DeleteFolderDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Bekor qilish</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
</context>
<context>
    <name>DictateCommand</name>
    <message>
        <source>Recording. Press Enter to stop.</source>
        <translation>Yozib olinmoqda. Toʻxtatish uchun Enter tugmasini bosing.</translation>
    </message>
    <message>
        <source>The recording was too short; nothing was sent.</source>
        <translation>Yozuv juda qisqa boʻldi; hech narsa yuborilmadi.</translation>
    </message>
</context>
<context>
    <name>DictationCard</name>
    <message>
        <source>Dictation</source>
        <translation>Diktovka</translation>
    </message>
</context>
<context>
    <name>DictationStage</name>
    <message>
        <source>Turning speech into text…</source>
        <translation>Nutq matnga aylantirilmoqda…</translation>
    </message>
    <message>
        <source>Waiting for the transcript…</source>
        <translation>Matn kutilmoqda…</translation>
    </message>
    <message>
        <source>Still processing your audio…</source>
        <translation>Audio hali ishlanmoqda…</translation>
    </message>
    <message>
        <source>Preparing audio…</source>
        <translation>Audio tayyorlanmoqda…</translation>
    </message>
    <message>
        <source>Shortening silence…</source>
        <translation>Jimlik qisqartirilmoqda…</translation>
    </message>
    <message>
        <source>Trying again…</source>
        <translation>Qayta urinilmoqda…</translation>
    </message>
    <message>
        <source>Organizing your note…</source>
        <translation>Qayd tartibga solinmoqda…</translation>
    </message>
    <message>
        <source>Preparing the result…</source>
        <translation>Natija tayyorlanmoqda…</translation>
    </message>
</context>
<context>
    <name>DictionaryTab</name>
    <message>
        <source>Kavo Voice always spells these words right — names, terms, brands.</source>
        <translation>Kavo Voice bu soʻzlarni doim toʻgʻri yozadi — ismlar, atamalar, brendlar.</translation>
    </message>
    <message>
        <source>Add words, separated by commas</source>
        <translation>Soʻzlarni vergul bilan ajratib qoʻshing</translation>
    </message>
    <message>
        <source>Language of new words</source>
        <translation>Yangi soʻzlar tili</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Qoʻshish</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Your vocabulary</source>
        <translation>Lugʻatingiz</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Tozalash</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Bekor qilish</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Tasdiqlash</translation>
    </message>
    <message>
        <source>Saved on this computer</source>
        <translation>Shu kompyuterda saqlanadi</translation>
    </message>
    <message>
        <source>Text files (*.txt *.csv)</source>
        <translation>Matn fayllari (*.txt *.csv)</translation>
    </message>
    <message>
        <source>Plain text (*.txt)</source>
        <translation>Oddiy matn (*.txt)</translation>
    </message>
</context>
<context>
    <name>EmptyFolder</name>
    <message>
        <source>No notes in this folder yet.</source>
        <translation>Bu jildda hali qaydlar yoʻq.</translation>
    </message>
    <message>
        <source>Create the first note, or say it with dictation.</source>
        <translation>Birinchi qaydni yarating yoki uni diktovka bilan ayting.</translation>
    </message>
    <message>
        <source>Create note</source>
        <translation>Qayd yaratish</translation>
    </message>
</context>
<context>
    <name>FolderRow</name>
    <message>
        <source>Rename</source>
        <translation>Nomini oʻzgartirish</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
</context>
<context>
    <name>Format</name>
    <message>
        <source>Today</source>
        <translation>Bugun</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Kecha</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message numerus="yes">
        <source>%1 words</source>
        <translation>
            <numerusform>%1 soʻz</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>GeminiError</name>
    <message>
        <source>Gemini returned %1: %2</source>
        <translation>Gemini %1 qaytardi: %2</translation>
    </message>
    <message>
        <source>Could not read the Gemini response: %1</source>
        <translation>Gemini javobini oʻqib boʻlmadi: %1</translation>
    </message>
    <message>
        <source>No API key. Add it in Settings, or set GEMINI_API_KEY.</source>
        <translation>API kaliti yoʻq. Uni Sozlamalarda qoʻshing yoki GEMINI_API_KEY ni oʻrnating.</translation>
    </message>
    <message>
        <source>Gemini returned no text.</source>
        <translation>Gemini matn qaytarmadi.</translation>
    </message>
</context>
<context>
    <name>HistoryCard</name>
    <message>
        <source>Cancelled</source>
        <translation>Bekor qilingan</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Nusxalash</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Tahrirlash</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Saqlash</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Bekor qilish</translation>
    </message>
</context>
<context>
    <name>HistoryScreen</name>
    <message>
        <source>History</source>
        <translation>Tarix</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Bekor qilinganlar</translation>
    </message>
</context>
<context>
    <name>HotkeyKinds</name>
    <message>
        <source>Right Super</source>
        <translation>Oʻng Super</translation>
    </message>
</context>
<context>
    <name>HowItWorksCard</name>
    <message>
        <source>How it works</source>
        <translation>Qanday ishlaydi</translation>
    </message>
    <message>
        <source>Scan the QR code with your phone&apos;s camera.</source>
        <translation>QR kodni telefoningiz kamerasi bilan skanerlang.</translation>
    </message>
    <message>
        <source>On the page that opens, tap the microphone and talk.</source>
        <translation>Ochilgan sahifada mikrofonni bosing va gapiring.</translation>
    </message>
    <message>
        <source>Tap «Kompyuterga yuborish» — the text appears in History.</source>
        <translation>«Kompyuterga yuborish» tugmasini bosing — matn Tarixda paydo boʻladi.</translation>
    </message>
    <message>
        <source>Nothing needs to be installed on the phone. The audio comes straight to your computer.</source>
        <translation>Telefonga hech narsa oʻrnatish shart emas. Audio toʻgʻridan-toʻgʻri kompyuteringizga keladi.</translation>
    </message>
</context>
<context>
    <name>HttpParser</name>
    <message>
        <source>The request headers are too long.</source>
        <translation>Soʻrov sarlavhalari juda uzun.</translation>
    </message>
    <message>
        <source>The request could not be read.</source>
        <translation>Soʻrovni oʻqib boʻlmadi.</translation>
    </message>
    <message>
        <source>Wrong or missing token.</source>
        <translation>Kod notoʻgʻri yoki yoʻq.</translation>
    </message>
    <message>
        <source>The Content-Length header is not valid.</source>
        <translation>Content-Length sarlavhasi notoʻgʻri.</translation>
    </message>
    <message>
        <source>The recording is too large.</source>
        <translation>Yozuv juda katta.</translation>
    </message>
</context>
<context>
    <name>InputAccess</name>
    <message>
        <source>Waiting for input access. Run “sudo usermod -aG input $USER” or install the udev rule that comes with Kavo Voice, then log out and back in.</source>
        <translation>Klaviaturaga kirish ruxsati kutilmoqda. “sudo usermod -aG input $USER” buyrugʻini bajaring yoki Kavo Voice bilan keladigan udev qoidasini oʻrnating, soʻng tizimdan chiqib, qayta kiring.</translation>
    </message>
</context>
<context>
    <name>InterfaceLanguage</name>
    <message>
        <source>System</source>
        <translation>Tizim</translation>
    </message>
</context>
<context>
    <name>InvalidRequestError</name>
    <message>
        <source>The model name &quot;%1&quot; cannot form a web address.</source>
        <translation>“%1” model nomidan veb-manzil tuzib boʻlmaydi.</translation>
    </message>
    <message>
        <source>The Gemini address cannot be formed from &quot;%1&quot;.</source>
        <translation>“%1” dan Gemini manzilini tuzib boʻlmaydi.</translation>
    </message>
</context>
<context>
    <name>NoSessionSource</name>
    <message>
        <source>The hotkey needs an X11 or Wayland desktop session, and none was found.</source>
        <translation>Tezkor tugma uchun X11 yoki Wayland ish stoli seansi kerak, lekin hech biri topilmadi.</translation>
    </message>
</context>
<context>
    <name>NoteEditor</name>
    <message>
        <source>Delete note</source>
        <translation>Qaydni oʻchirish</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Sarlavha</translation>
    </message>
    <message>
        <source>Write, or press the dictation button and speak…</source>
        <translation>Yozing yoki diktovka tugmasini bosib gapiring…</translation>
    </message>
</context>
<context>
    <name>NoteFiler</name>
    <message>
        <source>Meeting</source>
        <translation>Uchrashuv</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Vazifalar</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Kundalik</translation>
    </message>
    <message>
        <source>Idea</source>
        <translation>Gʻoya</translation>
    </message>
</context>
<context>
    <name>NotesScreen</name>
    <message>
        <source>Notes</source>
        <translation>Qaydlar</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Jildlar</translation>
    </message>
    <message>
        <source>Add folder</source>
        <translation>Jild qoʻshish</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Yangi qayd</translation>
    </message>
    <message>
        <source>Search notes</source>
        <translation>Qaydlardan qidirish</translation>
    </message>
</context>
<context>
    <name>NotesStore</name>
    <message>
        <source>Personal</source>
        <translation>Shaxsiy</translation>
    </message>
    <message>
        <source>Ideas</source>
        <translation>Gʻoyalar</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Yangi jild</translation>
    </message>
</context>
<context>
    <name>PermissionRow</name>
    <message>
        <source>Allowed</source>
        <translation>Ruxsat berilgan</translation>
    </message>
    <message>
        <source>Not allowed</source>
        <translation>Ruxsat yoʻq</translation>
    </message>
</context>
<context>
    <name>PermissionsWindow</name>
    <message>
        <source>Kavo Voice needs your permission again</source>
        <translation>Kavo Voice yana ruxsatingizni soʻraydi</translation>
    </message>
    <message>
        <source>Some access Kavo Voice had is missing now. Until you turn it on again, the hotkey and dictation do not work.</source>
        <translation>Kavo Voice avval ega boʻlgan ba’zi ruxsatlar endi yoʻq. Ularni qayta yoqmaguningizcha tezkor tugma va diktovka ishlamaydi.</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>Connect a microphone, or check that the sound server (PulseAudio or PipeWire) runs.</source>
        <translation>Mikrofonni ulang yoki ovoz serveri (PulseAudio yoki PipeWire) ishlayotganini tekshiring.</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Qayta tekshirish</translation>
    </message>
    <message>
        <source>Input access</source>
        <translation>Kiritishga ruxsat</translation>
    </message>
    <message>
        <source>Copy command</source>
        <translation>Buyruqni nusxalash</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Keyinroq</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Tayyor</translation>
    </message>
</context>
<context>
    <name>PhoneScreen</name>
    <message>
        <source>Record from your phone</source>
        <translation>Telefoningizdan yozing</translation>
    </message>
    <message>
        <source>Talk even when you are away from the computer — the text appears here.</source>
        <translation>Kompyuterdan uzoqda boʻlsangiz ham gapiring — matn shu yerda paydo boʻladi.</translation>
    </message>
    <message>
        <source>Recordings from the phone</source>
        <translation>Telefondan yozuvlar</translation>
    </message>
    <message>
        <source>No recordings from the phone yet.</source>
        <translation>Telefondan hali yozuvlar yoʻq.</translation>
    </message>
</context>
<context>
    <name>PhoneServer</name>
    <message>
        <source>Could not create the HTTPS certificate.</source>
        <translation>HTTPS sertifikatini yaratib bo‘lmadi.</translation>
    </message>
    <message>
        <source>Port %1 is already in use.</source>
        <translation>%1-port band.</translation>
    </message>
</context>
<context>
    <name>Pill</name>
    <message>
        <source>Kavo Voice button</source>
        <translation>Kavo Voice tugmasi</translation>
    </message>
    <message>
        <source>Start dictation</source>
        <translation>Diktovkani boshlash</translation>
    </message>
    <message>
        <source>Cancel (Esc)</source>
        <translation>Bekor qilish (Esc)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Toʻxtatish</translation>
    </message>
</context>
<context>
    <name>PillRules</name>
    <message>
        <source>Click to record, or press %1</source>
        <translation>Yozish uchun bosing yoki %1 ni bosing</translation>
    </message>
    <message>
        <source>Click to record, or hold %1</source>
        <translation>Yozish uchun bosing yoki %1 ni bosib turing</translation>
    </message>
    <message>
        <source>Something went wrong</source>
        <translation>Nimadir xato ketdi</translation>
    </message>
</context>
<context>
    <name>RecorderFailure</name>
    <message>
        <source>Could not start the microphone. </source>
        <translation>Mikrofonni ishga tushirib boʻlmadi. </translation>
    </message>
    <message>
        <source>The chosen microphone is not available. Pick another one in Settings.</source>
        <translation>Tanlangan mikrofon mavjud emas. Sozlamalarda boshqasini tanlang.</translation>
    </message>
    <message>
        <source>A recording is already running.</source>
        <translation>Yozib olish allaqachon davom etmoqda.</translation>
    </message>
</context>
<context>
    <name>RecordingRow</name>
    <message>
        <source>Copy text</source>
        <translation>Matnni nusxalash</translation>
    </message>
</context>
<context>
    <name>RemoteClient</name>
    <message>
        <source>Kavo Voice cannot be reached: there is no D-Bus session bus.</source>
        <translation>Kavo Voice bilan bogʻlanib boʻlmaydi: D-Bus seans shinasi yoʻq.</translation>
    </message>
    <message>
        <source>Kavo Voice is not running.</source>
        <translation>Kavo Voice ishga tushirilmagan.</translation>
    </message>
    <message>
        <source>Kavo Voice did not answer.</source>
        <translation>Kavo Voice javob bermadi.</translation>
    </message>
    <message>
        <source>Kavo Voice did not take the request: %1</source>
        <translation>Kavo Voice soʻrovni qabul qilmadi: %1</translation>
    </message>
</context>
<context>
    <name>ScreenArea</name>
    <message>
        <source>Settings</source>
        <translation>Sozlamalar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Yopish</translation>
    </message>
</context>
<context>
    <name>ServerOffCard</name>
    <message>
        <source>The phone server is off</source>
        <translation>Telefon serveri oʻchiq</translation>
    </message>
    <message>
        <source>It works only on this Wi-Fi, through a secret link.</source>
        <translation>U faqat shu Wi-Fi tarmogʻida, maxfiy havola orqali ishlaydi.</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Yoqish</translation>
    </message>
</context>
<context>
    <name>Sidebar</name>
    <message>
        <source>Search</source>
        <translation>Qidirish</translation>
    </message>
    <message>
        <source>Meetings</source>
        <translation>Uchrashuvlar</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Sozlamalar</translation>
    </message>
</context>
<context>
    <name>SnippetCard</name>
    <message>
        <source>Trigger phrase</source>
        <translation>Qisqa ibora</translation>
    </message>
    <message>
        <source>Short phrase</source>
        <translation>Qisqa ibora</translation>
    </message>
    <message>
        <source>Full text to type</source>
        <translation>Yoziladigan toʻliq matn</translation>
    </message>
    <message>
        <source>for example, my address</source>
        <translation>masalan, mening manzilim</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
</context>
<context>
    <name>SnippetsTab</name>
    <message>
        <source>Say a short phrase — the full text is typed.</source>
        <translation>Qisqa iborani ayting — toʻliq matn yoziladi.</translation>
    </message>
    <message>
        <source>New snippet</source>
        <translation>Yangi qisqartma</translation>
    </message>
</context>
<context>
    <name>StatusMenu</name>
    <message>
        <source>Recording... (Esc to cancel)</source>
        <translation>Yozilmoqda... (bekor qilish uchun Esc)</translation>
    </message>
    <message>
        <source>Transcribing...</source>
        <translation>Matnga aylantirilmoqda...</translation>
    </message>
    <message>
        <source>Something went wrong</source>
        <translation>Nimadir xato ketdi</translation>
    </message>
    <message>
        <source>Input access needed</source>
        <translation>Klaviaturaga kirish ruxsati kerak</translation>
    </message>
    <message>
        <source>Hold %1 to talk</source>
        <translation>Gapirish uchun %1 ni bosib turing</translation>
    </message>
    <message>
        <source>Press %1 to talk</source>
        <translation>Gapirish uchun %1 ni bosing</translation>
    </message>
    <message>
        <source>Microphone: %1</source>
        <translation>Mikrofon: %1</translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Tizim standarti</translation>
    </message>
    <message>
        <source>Open Kavo Voice</source>
        <translation>Kavo Voiceʼni ochish</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Sozlamalar…</translation>
    </message>
    <message>
        <source>Set up again</source>
        <translation>Qaytadan sozlash</translation>
    </message>
    <message>
        <source>Hide button</source>
        <translation>Tugmani yashirish</translation>
    </message>
    <message>
        <source>Show button</source>
        <translation>Tugmani koʻrsatish</translation>
    </message>
    <message>
        <source>Last text: %1</source>
        <translation>Oxirgi matn: %1</translation>
    </message>
    <message>
        <source>Insert last text again</source>
        <translation>Oxirgi matnni yana qoʻyish</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Yangilanishlarni tekshirish</translation>
    </message>
    <message>
        <source>Open logs</source>
        <translation>Jurnalni ochish</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Chiqish</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Updates come through the package manager. Update Kavo Voice with your system&apos;s other software.</source>
        <translation>Yangilanishlar paketlar menejeri orqali keladi. Kavo Voice’ni tizimdagi boshqa dasturlar bilan birga yangilang.</translation>
    </message>
</context>
<context>
    <name>VocabularyScreen</name>
    <message>
        <source>Vocabulary</source>
        <translation>Lugʻat</translation>
    </message>
    <message>
        <source>Dictionary</source>
        <translation>Lugʻat</translation>
    </message>
    <message>
        <source>Snippets</source>
        <translation>Qisqartmalar</translation>
    </message>
</context>
<context>
    <name>VocabularyWord</name>
    <message>
        <source>All languages</source>
        <translation>Barcha tillar</translation>
    </message>
    <message>
        <source>Uzbek</source>
        <translation>Oʻzbekcha</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Ruscha</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Inglizcha</translation>
    </message>
    <message>
        <source>Added to the vocabulary</source>
        <translation>Lugʻatga qoʻshildi</translation>
    </message>
    <message>
        <source>Already in the vocabulary</source>
        <translation>Lugʻatda allaqachon bor</translation>
    </message>
</context>
<context>
    <name>kavo::AppDelegate</name>
    <message>
        <source>Add your Gemini API key in Settings.</source>
        <translation>Sozlamalarda Gemini API kalitingizni qoʻshing.</translation>
    </message>
</context>
<context>
    <name>kavo::AudioRecorder</name>
    <message>
        <source>System default</source>
        <translation>Tizim standarti</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Ulanmagan</translation>
    </message>
    <message>
        <source>the sound server did not answer within %1 seconds</source>
        <translation>ovoz serveri %1 soniya ichida javob bermadi</translation>
    </message>
</context>
<context>
    <name>kavo::DataView</name>
    <message>
        <source>Exported</source>
        <translation>Eksport qilindi</translation>
    </message>
    <message>
        <source>Data deleted</source>
        <translation>Maʼlumotlar oʻchirildi</translation>
    </message>
    <message>
        <source>History, notes and vocabulary were cleared</source>
        <translation>Tarix, qaydlar va lugʻat tozalandi</translation>
    </message>
</context>
<context>
    <name>kavo::DictationFlow</name>
    <message>
        <source>Not transcribed</source>
        <translation>Matnga oʻgirilmadi</translation>
    </message>
    <message>
        <source>The audio is saved. Try again from History.</source>
        <translation>Audio saqlandi. Tarixdan qayta urining.</translation>
    </message>
    <message>
        <source>The note was deleted</source>
        <translation>Qayd oʻchirilgan</translation>
    </message>
    <message>
        <source>The text is saved in History</source>
        <translation>Matn Tarixda saqlandi</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Tarix</translation>
    </message>
    <message>
        <source>Added to the note</source>
        <translation>Qaydga qoʻshildi</translation>
    </message>
    <message>
        <source>Saved to folder</source>
        <translation>Jildga saqlandi</translation>
    </message>
    <message>
        <source>From phone</source>
        <translation>Telefondan</translation>
    </message>
    <message>
        <source>Transcribed</source>
        <translation>Matnga oʻgirildi</translation>
    </message>
</context>
<context>
    <name>kavo::EvdevInputSource</name>
    <message>
        <source>The hotkey cannot read the keyboard: %1 does not exist.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: %1 mavjud emas.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard. To allow it, run “sudo usermod -aG input $USER”, then log out and back in (or install the udev rule that comes with Kavo Voice).</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi. Ruxsat berish uchun “sudo usermod -aG input $USER” buyrugʻini bajaring, soʻng tizimdan chiqib, qayta kiring (yoki Kavo Voice bilan keladigan udev qoidasini oʻrnating).</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: there is no keyboard in %1.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: %1 ichida klaviatura yoʻq.</translation>
    </message>
</context>
<context>
    <name>kavo::FolderListModel</name>
    <message>
        <source>All notes</source>
        <translation>Barcha qaydlar</translation>
    </message>
</context>
<context>
    <name>kavo::HistoryModel</name>
    <message>
        <source>Audio saved on your computer · </source>
        <translation>Audio kompyuteringizda saqlangan · </translation>
    </message>
    <message>
        <source>Transcribe</source>
        <translation>Matnga oʻgirish</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Qayta urinish</translation>
    </message>
    <message>
        <source>Transcribing again…</source>
        <translation>Qayta matnga oʻgirilmoqda…</translation>
    </message>
    <message>
        <source>No internet — not transcribed</source>
        <translation>Internet yoʻq — matnga oʻgirilmadi</translation>
    </message>
    <message>
        <source>Not transcribed</source>
        <translation>Matnga oʻgirilmadi</translation>
    </message>
    <message>
        <source>Never transcribed</source>
        <translation>Hech qachon matnga oʻgirilmagan</translation>
    </message>
</context>
<context>
    <name>kavo::HistoryView</name>
    <message>
        <source>Today </source>
        <translation>Bugun </translation>
    </message>
    <message>
        <source> words</source>
        <translation> soʻz</translation>
    </message>
    <message>
        <source> · this week </source>
        <translation> · bu hafta </translation>
    </message>
    <message>
        <source> — about </source>
        <translation> — taxminan </translation>
    </message>
    <message>
        <source> minutes saved</source>
        <translation> daqiqa tejaldi</translation>
    </message>
    <message>
        <source>No recordings yet.</source>
        <translation>Hali yozuvlar yoʻq.</translation>
    </message>
    <message>
        <source>Nothing found.</source>
        <translation>Hech narsa topilmadi.</translation>
    </message>
    <message>
        <source>Try another word or clear the search.</source>
        <translation>Boshqa soʻzni sinab koʻring yoki qidiruvni tozalang.</translation>
    </message>
    <message>
        <source>Press the key and talk — the text is kept here.</source>
        <translation>Tugmani bosing va gapiring — matn shu yerda saqlanadi.</translation>
    </message>
    <message>
        <source>Hold the key and talk — the text is kept here.</source>
        <translation>Tugmani bosib turing va gapiring — matn shu yerda saqlanadi.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Tasdiqlash</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Tozalash</translation>
    </message>
    <message>
        <source>History cleared</source>
        <translation>Tarix tozalandi</translation>
    </message>
    <message>
        <source>You cannot undo this</source>
        <translation>Buni qaytarib boʻlmaydi</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Nusxalandi</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Oʻchirildi</translation>
    </message>
</context>
<context>
    <name>kavo::MainView</name>
    <message>
        <source>History</source>
        <translation>Tarix</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Qaydlar</translation>
    </message>
    <message>
        <source>Vocabulary</source>
        <translation>Lugʻat</translation>
    </message>
    <message>
        <source>From phone</source>
        <translation>Telefondan</translation>
    </message>
    <message>
        <source>Listening…</source>
        <translation>Tinglayapman…</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Xato</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Tayyor</translation>
    </message>
    <message>
        <source>Press once and talk. Press again and the text is typed.</source>
        <translation>Bir marta bosing va gapiring. Yana bossangiz, matn yoziladi.</translation>
    </message>
    <message>
        <source>Hold and talk. When you let go, the text is typed where the cursor is.</source>
        <translation>Bosib turing va gapiring. Qoʻyib yuborsangiz, matn kursor turgan joyga yoziladi.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Toʻxtatish</translation>
    </message>
    <message>
        <source>Try it</source>
        <translation>Sinab koʻrish</translation>
    </message>
</context>
<context>
    <name>kavo::MicTest</name>
    <message>
        <source>The microphone did not start</source>
        <translation>Mikrofon ishga tushmadi</translation>
    </message>
</context>
<context>
    <name>kavo::Navigation</name>
    <message>
        <source>General</source>
        <translation>Umumiy</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Tugmalar</translation>
    </message>
    <message>
        <source>AI and languages</source>
        <translation>AI va tillar</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Qoʻshimcha</translation>
    </message>
</context>
<context>
    <name>kavo::NoteListModel</name>
    <message>
        <source>Untitled note</source>
        <translation>Nomsiz qayd</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Boʻsh</translation>
    </message>
</context>
<context>
    <name>kavo::NotesView</name>
    <message>
        <source>Stop</source>
        <translation>Toʻxtatish</translation>
    </message>
    <message>
        <source>Write by voice</source>
        <translation>Ovoz bilan yozish</translation>
    </message>
    <message>
        <source>Delete the folder “%1”?</source>
        <translation>“%1” jildi oʻchirilsinmi?</translation>
    </message>
    <message>
        <source>The %1 notes in it are deleted too.</source>
        <translation>Undagi %1 ta qayd ham oʻchiriladi.</translation>
    </message>
    <message>
        <source>Note deleted</source>
        <translation>Qayd oʻchirildi</translation>
    </message>
</context>
<context>
    <name>kavo::PermissionsView</name>
    <message>
        <source>The hotkey and typing need the X server&apos;s XInput2 and XTEST extensions. Start Kavo Voice in a desktop session whose X server has them.</source>
        <translation>Tezkor tugma va yozish uchun X serverning XInput2 va XTEST kengaytmalari kerak. Kavo Voice’ni ular bor X serverli seansda ishga tushiring.</translation>
    </message>
    <message>
        <source>In a Wayland session the hotkey reads the keyboard under /dev/input, and pasting types through /dev/uinput. Joining the &quot;input&quot; group gives that access (and every program you run access to all input devices); the udev rule shipped with Kavo Voice gives the person at the computer access to keyboards and /dev/uinput only. Then log out and back in.</source>
        <translation>Wayland seansida tezkor tugma klaviaturani /dev/input orqali oʻqiydi, qoʻyish esa /dev/uinput orqali yoziladi. Bu ruxsatni «input» guruhi beradi (u bilan birga siz ishga tushirgan har bir dastur barcha kiritish qurilmalariga kira oladi); Kavo Voice bilan keladigan udev qoidasi esa kompyuter oldidagi odamga faqat klaviaturalar va /dev/uinput’ga ruxsat beradi. Keyin seansdan chiqib, qayta kiring.</translation>
    </message>
</context>
<context>
    <name>kavo::PhoneServer</name>
    <message>
        <source>The recording was empty.</source>
        <translation>Yozuv bo‘sh edi.</translation>
    </message>
</context>
<context>
    <name>kavo::PhoneView</name>
    <message>
        <source>Phone connected — you can talk</source>
        <translation>Telefon ulandi — gapirishingiz mumkin</translation>
    </message>
    <message>
        <source>Waiting for the phone</source>
        <translation>Telefon kutilmoqda</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Uzish</translation>
    </message>
    <message>
        <source>New code</source>
        <translation>Yangi kod</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Nusxalandi</translation>
    </message>
    <message>
        <source>Phone connected</source>
        <translation>Telefon ulandi</translation>
    </message>
</context>
<context>
    <name>kavo::PillView</name>
    <message>
        <source>Listening</source>
        <translation>Tinglanmoqda</translation>
    </message>
</context>
<context>
    <name>kavo::SnippetModel</name>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>%1 ni oʻchirish</translation>
    </message>
</context>
<context>
    <name>kavo::TextInjector</name>
    <message>
        <source>The text is on the clipboard</source>
        <translation>Matn bufer xotirada</translation>
    </message>
    <message>
        <source>Paste it with Ctrl+V. To let Kavo Voice paste by itself, give it access to /dev/uinput: install the udev rule that comes with it.</source>
        <translation>Uni Ctrl+V bilan qoʻying. Kavo Voice oʻzi qoʻya olishi uchun unga /dev/uinput ga ruxsat bering: u bilan keladigan udev qoidasini oʻrnating.</translation>
    </message>
</context>
<context>
    <name>kavo::VocabularyModel</name>
    <message>
        <source>Delete %1</source>
        <translation>%1 ni oʻchirish</translation>
    </message>
</context>
<context>
    <name>kavo::VocabularyView</name>
    <message>
        <source>The vocabulary is empty. Add names, terms and brands — Kavo Voice will always spell them right.</source>
        <translation>Lugʻat boʻsh. Ismlar, atamalar va brendlarni qoʻshing — Kavo Voice ularni doim toʻgʻri yozadi.</translation>
    </message>
    <message>
        <source>No snippets yet. Add a short phrase and the full text it stands for.</source>
        <translation>Hali qisqartmalar yoʻq. Qisqa ibora va u anglatadigan toʻliq matnni qoʻshing.</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Eksport qilinadigan narsa yoʻq</translation>
    </message>
    <message>
        <source>The vocabulary is empty.</source>
        <translation>Lugʻat boʻsh.</translation>
    </message>
    <message>
        <source>Exported</source>
        <translation>Eksport qilindi</translation>
    </message>
    <message>
        <source>Imported</source>
        <translation>Import qilindi</translation>
    </message>
    <message numerus="yes">
        <source>%1 new words</source>
        <translation>
            <numerusform>%1 ta yangi soʻz</numerusform>
        </translation>
    </message>
    <message>
        <source>No new words</source>
        <translation>Yangi soʻzlar yoʻq</translation>
    </message>
</context>
<context>
    <name>kavo::X11InputSource</name>
    <message>
        <source>The hotkey cannot read the keyboard: no X display is set.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: X displeyi koʻrsatilmagan.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X display %1 cannot be opened.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: %1 X displeyini ochib boʻlmadi.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X server lacks the XInput2 extension.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: X serverida XInput2 kengaytmasi yoʻq.</translation>
    </message>
    <message>
        <source>The hotkey cannot read the keyboard: the X server lacks the XTEST extension.</source>
        <translation>Tezkor tugma klaviaturani oʻqiy olmaydi: X serverida XTEST kengaytmasi yoʻq.</translation>
    </message>
</context>
<context>
    <name>kavo::cli</name>
    <message>
        <source>Not transcribed: </source>
        <translation>Matnga o‘girilmadi: </translation>
    </message>
    <message>
        <source>Phone server listening on port %1 (HTTPS) and %2 (HTTP).</source>
        <translation>Telefon serveri %1 (HTTPS) va %2 (HTTP) portlarida tinglamoqda.</translation>
    </message>
    <message>
        <source>Phone server listening on port %1 (HTTPS).</source>
        <translation>Telefon serveri %1 (HTTPS) portida tinglamoqda.</translation>
    </message>
    <message>
        <source>No network address to show: connect this computer to the phone&apos;s Wi-Fi network.</source>
        <translation>Ko‘rsatadigan tarmoq manzili yo‘q: bu kompyuterni telefon ulangan Wi-Fi tarmog‘iga ulang.</translation>
    </message>
    <message>
        <source>Open on the phone, on the same Wi-Fi network:</source>
        <translation>Telefonda, xuddi shu Wi-Fi tarmog‘ida oching:</translation>
    </message>
    <message>
        <source>For phone shortcuts (POST a recording, read &quot;text&quot; from the JSON reply):</source>
        <translation>Telefon yorliqlari uchun (yozuvni POST qiling, JSON javobidan &quot;text&quot; ni o‘qing):</translation>
    </message>
    <message>
        <source>The phone&apos;s browser warns about the certificate once: it is this computer&apos;s own. Press Ctrl+C to stop.</source>
        <translation>Telefon brauzeri sertifikat haqida bir marta ogohlantiradi: u shu kompyuterning o‘ziniki. To‘xtatish uchun Ctrl+C ni bosing.</translation>
    </message>
</context>
</TS>

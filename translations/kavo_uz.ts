<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr">
<context>
    <name>AdvancedTab</name>
    <message>
        <source>Text insertion</source>
        <translation>Matnni qoʻyish</translation>
    </message>
    <message>
        <source>How the text gets into the app</source>
        <translation>Matn ilovaga qanday tushadi</translation>
    </message>
    <message>
        <source>Line break</source>
        <translation>Yangi qator</translation>
    </message>
    <message>
        <source>A plain Return sends the message in a chat</source>
        <translation>Oddiy Return chatda xabarni yuboradi</translation>
    </message>
    <message>
        <source>Keep audio files</source>
        <translation>Audio fayllarni saqlash</translation>
    </message>
    <message>
        <source>Recordings stay in the data folder after they are written out</source>
        <translation>Yozuvlar matnga oʻgirilgandan keyin ham maʼlumotlar jildida qoladi</translation>
    </message>
    <message>
        <source>Phone server</source>
        <translation>Telefon serveri</translation>
    </message>
    <message>
        <source>A phone on the same Wi-Fi can dictate into this computer</source>
        <translation>Shu Wi-Fi dagi telefon bu kompyuterga diktovka qila oladi</translation>
    </message>
    <message>
        <source>Type phone text into the front app</source>
        <translation>Telefon matnini oldingi ilovaga yozish</translation>
    </message>
    <message>
        <source>Otherwise it is only kept in History</source>
        <translation>Aks holda u faqat Tarixda saqlanadi</translation>
    </message>
    <message>
        <source>HTTP for iOS Shortcuts</source>
        <translation>iOS Shortcuts uchun HTTP</translation>
    </message>
    <message>
        <source>Shortcuts cannot use the secure address; this one is not encrypted</source>
        <translation>Shortcuts xavfsiz manzildan foydalana olmaydi; bu manzil shifrlanmagan</translation>
    </message>
    <message>
        <source>Shortcut address</source>
        <translation>Shortcut manzili</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Nusxalandi</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Nusxalash</translation>
    </message>
    <message>
        <source>Make the Shortcut</source>
        <translation>Shortcut yarating</translation>
    </message>
    <message>
        <source>In the Shortcuts app on the iPhone</source>
        <translation>iPhone’dagi Shortcuts ilovasida</translation>
    </message>
    <message>
        <source>Create a new shortcut.</source>
        <translation>Yangi shortcut yarating.</translation>
    </message>
    <message>
        <source>Add “Record Audio”. Set it to start right away and to finish on tap.</source>
        <translation>“Record Audio” qoʻshing. Darhol boshlanadigan va bosilganda tugaydigan qiling.</translation>
    </message>
    <message>
        <source>Add “Get Contents of URL” with the address above. Method: POST. Request Body: File, with the recorded audio.</source>
        <translation>Yuqoridagi manzil bilan “Get Contents of URL” qoʻshing. Method: POST. Request Body: File, yozilgan audio bilan.</translation>
    </message>
    <message>
        <source>Add “Get Dictionary Value” with the key “text”.</source>
        <translation>“text” kaliti bilan “Get Dictionary Value” qoʻshing.</translation>
    </message>
    <message>
        <source>Add “Show Result” to see the text.</source>
        <translation>Matnni koʻrish uchun “Show Result” qoʻshing.</translation>
    </message>
    <message>
        <source>Put the shortcut on the Action Button, Back Tap or the Home Screen.</source>
        <translation>Shortcut’ni Action tugmasi, Back Tap yoki bosh ekranga qoʻying.</translation>
    </message>
    <message>
        <source>Keep history</source>
        <translation>Tarixni saqlash</translation>
    </message>
    <message>
        <source>Older entries are deleted automatically</source>
        <translation>Eskiroq yozuvlar avtomatik oʻchiriladi</translation>
    </message>
    <message>
        <source>Data folder</source>
        <translation>Maʼlumotlar jildi</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ochish</translation>
    </message>
    <message>
        <source>Open the data folder</source>
        <translation>Maʼlumotlar jildini ochish</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksport</translation>
    </message>
    <message>
        <source>Save history, notes and vocabulary in one file</source>
        <translation>Tarix, qaydlar va lugʻatni bitta faylga saqlash</translation>
    </message>
    <message>
        <source>Exported</source>
        <translation>Eksport qilindi</translation>
    </message>
    <message>
        <source>Export all</source>
        <translation>Hammasini eksport qilish</translation>
    </message>
    <message>
        <source>ZIP archives (*.zip)</source>
        <translation>ZIP arxivlar (*.zip)</translation>
    </message>
    <message>
        <source>Delete all data</source>
        <translation>Barcha maʼlumotlarni oʻchirish</translation>
    </message>
    <message>
        <source>History, notes and vocabulary</source>
        <translation>Tarix, qaydlar va lugʻat</translation>
    </message>
    <message>
        <source>Confirm — this cannot be undone</source>
        <translation>Tasdiqlang — buni qaytarib boʻlmaydi</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Tasdiqlash</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Oʻchirish</translation>
    </message>
    <message>
        <source>Model instructions</source>
        <translation>Model uchun koʻrsatmalar</translation>
    </message>
    <message>
        <source>The cleanup switches and the vocabulary are added to it by themselves</source>
        <translation>Tozalash sozlamalari va lugʻat unga oʻzi qoʻshiladi</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>Koʻrsatma</translation>
    </message>
    <message>
        <source>Thinking level</source>
        <translation>Oʻylash darajasi</translation>
    </message>
    <message>
        <source>How much the model thinks before it writes</source>
        <translation>Model yozishdan oldin qancha oʻylaydi</translation>
    </message>
</context>
<context>
    <name>AiTab</name>
    <message>
        <source>Model</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Flash — faster, Pro — more accurate</source>
        <translation>Flash — tezroq, Pro — aniqroq</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Tillar</translation>
    </message>
    <message>
        <source>Understands you even when you mix languages</source>
        <translation>Tillarni aralashtirsangiz ham tushunadi</translation>
    </message>
    <message>
        <source>Add a language</source>
        <translation>Til qoʻshish</translation>
    </message>
    <message>
        <source>Text cleanup</source>
        <translation>Matnni tozalash</translation>
    </message>
    <message>
        <source>Remove filler words</source>
        <translation>Toʻldiruvchi soʻzlarni olib tashlash</translation>
    </message>
    <message>
        <source>Words like «uh», «um» and «like» are left out</source>
        <translation>«ee», «mm» kabi soʻzlar tashlab ketiladi</translation>
    </message>
    <message>
        <source>Punctuation</source>
        <translation>Tinish belgilari</translation>
    </message>
    <message>
        <source>Puts in commas, full stops and question marks by itself</source>
        <translation>Vergul, nuqta va soʻroq belgilarini oʻzi qoʻyadi</translation>
    </message>
    <message>
        <source>Understand self-corrections</source>
        <translation>Oʻz-oʻzini tuzatishni tushunish</translation>
    </message>
    <message>
        <source>«at ten, no, at eleven» — only the last one is written</source>
        <translation>«oʻnda, yoʻq, oʻn birda» — faqat oxirgisi yoziladi</translation>
    </message>
    <message>
        <source>Gemini API key</source>
        <translation>Gemini API kaliti</translation>
    </message>
    <message>
        <source>Paste the key here</source>
        <translation>Kalitni shu yerga qoʻying</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Yashirish</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Koʻrsatish</translation>
    </message>
    <message>
        <source>Get a key for free:</source>
        <translation>Kalitni bepul oling:</translation>
    </message>
    <message>
        <source>Google AI Studio</source>
        <translation>Google AI Studio</translation>
    </message>
    <message>
        <source>Your voice goes straight to Google, with your own key. If you go over the free limit, you pay Google directly.</source>
        <translation>Ovozingiz oʻz kalitingiz bilan toʻgʻridan-toʻgʻri Google’ga boradi. Bepul limitdan oshsangiz, Google’ga oʻzingiz toʻlaysiz.</translation>
    </message>
</context>
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
    <name>EntryEditor</name>
    <message>
        <source>Edit</source>
        <translation>Tahrirlash</translation>
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
    <name>GeneralTab</name>
    <message>
        <source>Theme</source>
        <translation>Mavzu</translation>
    </message>
    <message>
        <source>Light, dark or match the system</source>
        <translation>Yorugʻ, qorongʻi yoki tizimga mos</translation>
    </message>
    <message>
        <source>Dictation sounds</source>
        <translation>Diktovka tovushlari</translation>
    </message>
    <message>
        <source>A short signal when recording starts and ends</source>
        <translation>Yozish boshlanganda va tugaganda qisqa signal</translation>
    </message>
    <message>
        <source>Pause music</source>
        <translation>Musiqani pauza qilish</translation>
    </message>
    <message>
        <source>Pauses music and video while you dictate</source>
        <translation>Diktovka paytida musiqa va videoni toʻxtatadi</translation>
    </message>
    <message>
        <source>Turn off notifications</source>
        <translation>Bildirishnomalarni oʻchirish</translation>
    </message>
    <message>
        <source>Kavo Voice shows no notifications at all</source>
        <translation>Kavo Voice umuman bildirishnoma koʻrsatmaydi</translation>
    </message>
    <message>
        <source>Start with the computer</source>
        <translation>Kompyuter bilan birga ishga tushish</translation>
    </message>
    <message>
        <source>The app waits in the background</source>
        <translation>Ilova fonda kutib turadi</translation>
    </message>
    <message>
        <source>Interface language</source>
        <translation>Interfeys tili</translation>
    </message>
    <message>
        <source>The app restarts to switch the language</source>
        <translation>Tilni almashtirish uchun ilova qayta ishga tushadi</translation>
    </message>
    <message>
        <source>Floating button</source>
        <translation>Suzuvchi tugma</translation>
    </message>
    <message>
        <source>Sits at the bottom of the screen; click it to dictate</source>
        <translation>Ekran pastida turadi; diktovka uchun bosing</translation>
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
    <name>MicrophoneTab</name>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>For dictation</source>
        <translation>Diktovka uchun</translation>
    </message>
    <message>
        <source>Noise reduction</source>
        <translation>Shovqinni kamaytirish</translation>
    </message>
    <message>
        <source>Lowers background noise and keyboard sounds</source>
        <translation>Fon shovqini va klaviatura tovushlarini pasaytiradi</translation>
    </message>
    <message>
        <source>Shorten long pauses</source>
        <translation>Uzun pauzalarni qisqartirish</translation>
    </message>
    <message>
        <source>Long silences are cut before the audio is sent</source>
        <translation>Uzun jimliklar audio yuborilishidan oldin kesiladi</translation>
    </message>
    <message>
        <source>Sound level</source>
        <translation>Ovoz darajasi</translation>
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
    <name>OnboardingWindow</name>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Qayta tekshirish</translation>
    </message>
    <message>
        <source>Keyboard access</source>
        <translation>Klaviaturaga kirish</translation>
    </message>
    <message>
        <source>Copy command</source>
        <translation>Buyruqni nusxalash</translation>
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
        <translation>Shu yerga qoʻying</translation>
    </message>
    <message>
        <source>Talk key</source>
        <translation>Gapirish tugmasi</translation>
    </message>
    <message>
        <source>More info</source>
        <translation>Batafsil</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Orqaga</translation>
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
    <name>SettingsOptions</name>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Forever</source>
        <translation>Doimiy</translation>
    </message>
    <message numerus="yes">
        <source>%n days</source>
        <translation>
            <numerusform>%n kun</numerusform>
        </translation>
    </message>
    <message>
        <source>System default</source>
        <translation>Tizim standarti</translation>
    </message>
    <message>
        <source>Microphone not connected</source>
        <translation>Mikrofon ulanmagan</translation>
    </message>
    <message>
        <source>Not checked</source>
        <translation>Tekshirilmagan</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Tekshirilmoqda</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Ulangan</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Xato</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Yorugʻ</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Qorongʻi</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Avto</translation>
    </message>
    <message>
        <source>Hold</source>
        <translation>Bosib turish</translation>
    </message>
    <message>
        <source>Press once</source>
        <translation>Bir marta bosish</translation>
    </message>
    <message>
        <source>Paste (Ctrl+V)</source>
        <translation>Qoʻyish (Ctrl+V)</translation>
    </message>
    <message>
        <source>Type it out</source>
        <translation>Harfma-harf yozish</translation>
    </message>
    <message>
        <source>Shift + Return (does not send)</source>
        <translation>Shift + Return (yubormaydi)</translation>
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
        <translation>Oʻrniga boʻsh joy</translation>
    </message>
    <message>
        <source>Model default</source>
        <translation>Model boʻyicha</translation>
    </message>
    <message>
        <source>Low (fastest)</source>
        <translation>Past (eng tez)</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Yuqori</translation>
    </message>
</context>
<context>
    <name>SettingsPanel</name>
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
    <name>ShortcutsTab</name>
    <message>
        <source>Dictation</source>
        <translation>Diktovka</translation>
    </message>
    <message>
        <source>Change keys</source>
        <translation>Tugmalarni oʻzgartirish</translation>
    </message>
    <message>
        <source>Dictation mode</source>
        <translation>Diktovka rejimi</translation>
    </message>
    <message>
        <source>Hold time</source>
        <translation>Bosib turish vaqti</translation>
    </message>
    <message>
        <source>How long to hold the keys before recording starts</source>
        <translation>Yozish boshlanishidan oldin tugmalarni qancha bosib turish kerak</translation>
    </message>
    <message>
        <source>Cancel dictation</source>
        <translation>Diktovkani bekor qilish</translation>
    </message>
    <message>
        <source>Not typed; kept in History as cancelled</source>
        <translation>Yozilmaydi; Tarixda bekor qilingan sifatida saqlanadi</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Until then, a keyboard shortcut of your desktop&apos;s own can start and stop dictation with this command:</source>
        <translation>Ungacha diktovkani ish stolingizning oʻz tugmalar birikmasi shu buyruq bilan boshlab va toʻxtatib turishi mumkin:</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Nusxalandi</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Nusxalash</translation>
    </message>
    <message>
        <source>Copy the command</source>
        <translation>Buyruqdan nusxa olish</translation>
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
    <name>kavo::OnboardingView</name>
    <message>
        <source>Which languages do you speak?</source>
        <translation>Qaysi tillarda gaplashasiz?</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>Mikrofon</translation>
    </message>
    <message>
        <source>Keyboard access</source>
        <translation>Klaviaturaga kirish</translation>
    </message>
    <message>
        <source>Gemini API key</source>
        <translation>Gemini API kaliti</translation>
    </message>
    <message>
        <source>Try it</source>
        <translation>Sinab koʻrish</translation>
    </message>
    <message>
        <source>You can pick more than one.</source>
        <translation>Bir nechtasini tanlashingiz mumkin.</translation>
    </message>
    <message>
        <source>Records only while you hold the key.</source>
        <translation>Faqat tugmani bosib turganingizda yozadi.</translation>
    </message>
    <message>
        <source>Records only from one key press to the next.</source>
        <translation>Faqat bir bosishdan keyingisigacha yozadi.</translation>
    </message>
    <message>
        <source>Needed to type the text where your cursor is.</source>
        <translation>Matnni kursor turgan joyga yozish uchun kerak.</translation>
    </message>
    <message>
        <source>Turning speech into text needs a free key.</source>
        <translation>Nutqni matnga aylantirish uchun bepul kalit kerak.</translation>
    </message>
    <message>
        <source>Hold the keys, talk, and let go.</source>
        <translation>Tugmalarni bosib turing, gapiring va qoʻyib yuboring.</translation>
    </message>
    <message>
        <source>Press the keys, talk, and press them again.</source>
        <translation>Tugmalarni bosing, gapiring va yana bosing.</translation>
    </message>
    <message>
        <source>Even if you mix languages in one sentence, Kavo Voice writes each word in the language it was said in.</source>
        <translation>Bir gapda tillarni aralashtirsangiz ham, Kavo Voice har bir soʻzni aytilgan tilida yozadi.</translation>
    </message>
    <message>
        <source>It also records when you press the floating button on the screen. The microphone is not used at any other time.</source>
        <translation>Ekrandagi suzuvchi tugmani bosganingizda ham yozadi. Boshqa paytda mikrofon ishlatilmaydi.</translation>
    </message>
    <message>
        <source>Linux asks for this so Kavo Voice can notice the keys and type text in any app. What you type is never saved or sent anywhere.</source>
        <translation>Linux buni Kavo Voice tugmalarni sezishi va istalgan ilovada matn yozishi uchun soʻraydi. Siz yozgan narsa hech qachon saqlanmaydi va hech qayerga yuborilmaydi.</translation>
    </message>
    <message>
        <source>Getting a key takes about a minute. The free tier has a daily limit, and Google may use the requests to improve its products. With billing turned on, neither applies.</source>
        <translation>Kalit olish taxminan bir daqiqa oladi. Bepul tarifda kunlik limit bor va Google soʻrovlardan mahsulotlarini yaxshilash uchun foydalanishi mumkin. Toʻlov yoqilganda bularning hech biri amal qilmaydi.</translation>
    </message>
    <message>
        <source>The text appears where the cursor is — here now, and in any app later. You can also talk with the floating button at the bottom of the screen. Everything you say is kept in History.</source>
        <translation>Matn kursor turgan joyda paydo boʻladi — hozir shu yerda, keyin istalgan ilovada. Ekran pastidagi suzuvchi tugma bilan ham gapirishingiz mumkin. Aytganlaringizning hammasi Tarixda saqlanadi.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Tayyor</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Keyingi</translation>
    </message>
    <message>
        <source>Kavo Voice can read the keys and type in this session.</source>
        <translation>Kavo Voice bu seansda tugmalarni oʻqiy va yoza oladi.</translation>
    </message>
    <message>
        <source>In an X11 session Kavo Voice can read the keys and type right away: there is nothing to turn on.</source>
        <translation>X11 seansida Kavo Voice tugmalarni darhol oʻqiy va yoza oladi: hech narsani yoqish shart emas.</translation>
    </message>
    <message>
        <source>Waiting for permission…</source>
        <translation>Ruxsat kutilmoqda…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Tekshirilmoqda…</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Tekshirish</translation>
    </message>
    <message>
        <source>The key works · </source>
        <translation>Kalit ishlaydi · </translation>
    </message>
    <message>
        <source>Hold the keys and talk</source>
        <translation>Tugmalarni bosib turing va gapiring</translation>
    </message>
    <message>
        <source>Press the keys and talk</source>
        <translation>Tugmalarni bosing va gapiring</translation>
    </message>
    <message>
        <source>Listening…</source>
        <translation>Tinglayapman…</translation>
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
    <name>kavo::PhoneConnection</name>
    <message>
        <source>The computer is busy. Try again in a moment.</source>
        <translation>Kompyuter band. Birozdan keyin qayta urining.</translation>
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
    <name>kavo::SettingsView</name>
    <message>
        <source>Hold and talk</source>
        <translation>Bosib turing va gapiring</translation>
    </message>
    <message>
        <source>Press once, talk, press again</source>
        <translation>Bir marta bosing, gapiring, yana bosing</translation>
    </message>
    <message>
        <source>Recording stops when you let go</source>
        <translation>Qoʻyib yuborganingizda yozish toʻxtaydi</translation>
    </message>
    <message>
        <source>Recording stops when you press again</source>
        <translation>Yana bosganingizda yozish toʻxtaydi</translation>
    </message>
    <message>
        <source>Speak — the green bars follow your voice.</source>
        <translation>Gapiring — yashil chiziqlar ovozingizga ergashadi.</translation>
    </message>
    <message>
        <source>Press Test and say a few words.</source>
        <translation>Sinash tugmasini bosing va bir necha soʻz ayting.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Toʻxtatish</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Sinash</translation>
    </message>
    <message>
        <source>The address appears once this computer is on Wi-Fi</source>
        <translation>Manzil bu kompyuter Wi-Fi ga ulanganda paydo boʻladi</translation>
    </message>
    <message>
        <source>The address appears once the phone server is on</source>
        <translation>Manzil telefon serveri yoqilganda paydo boʻladi</translation>
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

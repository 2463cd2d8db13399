<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uz">
<context>
    <name>AppGlyph</name>
    <message>
        <source>From phone</source>
        <translation>Telefondan</translation>
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
</TS>

#include "data_actions.h"

#include "store/json_support.h"
#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <zip.h>

#include <memory>

namespace kavo {

namespace {

template <typename Record> QJsonArray jsonArray(const QList<Record>& records)
{
    QJsonArray array;
    for (const Record& record : records)
        array.append(record.toJson());
    return array;
}

struct ArchiveDiscarder
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveDiscarder>;

// Writes the files as "kavo-voice/NAME" entries, replacing any file at `destination`. libzip writes into a temporary
// file beside the destination and renames it over the destination only when everything went in, so a failure leaves
// neither half an archive nor the temporary file. Returns the error description on failure.
std::optional<QString> writeArchive(const QString& destination, const QList<std::pair<QString, QByteArray>>& files)
{
    int error = 0;
    Archive archive(zip_open(QFile::encodeName(destination).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_error_t description;
        zip_error_init_with_code(&description, error);
        const QString text = QString::fromUtf8(zip_error_strerror(&description));
        zip_error_fini(&description);
        return text;
    }
    const auto failure = [&] { return QString::fromUtf8(zip_strerror(archive.get())); };
    if (zip_dir_add(archive.get(), "kavo-voice", ZIP_FL_ENC_UTF_8) < 0)
        return failure();
    for (const auto& [name, bytes] : files) {
        // The source reads the bytes in place: they live until zip_close() below has written them.
        zip_source_t* source = zip_source_buffer(archive.get(), bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const QByteArray entry = ("kavo-voice/" + name).toUtf8();
        if (!source)
            return failure();
        if (zip_file_add(archive.get(), entry.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            return failure();
        }
    }
    if (zip_close(archive.get()) < 0)
        return failure();
    archive.release();
    return std::nullopt;
}

} // namespace

DataActions::DataActions(DataStores& stores)
    : m_stores(stores)
{ }

std::optional<QString> DataActions::exportAll(const QString& destination)
{
    m_stores.history.history().save();
    m_stores.notes.store().save();
    QList<std::pair<QString, QByteArray>> files {
        { QStringLiteral("vocabulary.json"),
            vocabularyExport(m_stores.settings.vocabulary(), m_stores.settings.snippets()) },
    };
    for (const QString& path : { History::filePath(), NotesStore::filePath() }) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.append({ QFileInfo(path).fileName(), file.readAll() });
    }
    if (const std::optional<QString> error = writeArchive(destination, files)) {
        Log::write(QStringLiteral("export failed: ") + *error);
        return std::nullopt;
    }
    return QFileInfo(destination).fileName();
}

std::optional<QString> DataActions::exportWords(const QString& destination)
{
    const QByteArray text = VocabularyWord::exportList(m_stores.settings.vocabulary()).toUtf8();
    if (const std::optional<QString> error = writeFileAtomically(destination, text)) {
        Log::write(QStringLiteral("vocabulary export failed: ") + *error);
        return std::nullopt;
    }
    return QFileInfo(destination).fileName();
}

std::optional<int> DataActions::importWords(const QString& source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<VocabularyWord> added
        = VocabularyWord::newWords(QString::fromUtf8(file.readAll()), m_stores.settings.vocabulary());
    if (!added.isEmpty())
        m_stores.settings.setVocabulary(added + m_stores.settings.vocabulary());
    return int(added.size());
}

void DataActions::wipe()
{
    m_stores.history.change([](History& history) { history.clear(); });
    QDir(Config::audioDirectory()).removeRecursively();
    m_stores.notes.change([](NotesStore& store) {
        store = NotesStore::starter();
        store.save();
    });
    m_stores.settings.setVocabulary({});
    m_stores.settings.setSnippets({});
    Log::reset();
}

QString DataActions::archiveName(const QDate& day)
{
    return QStringLiteral("kavo-voice-") + day.toString(Qt::ISODate) + QStringLiteral(".zip");
}

QString DataActions::wordListName()
{
    return QStringLiteral("lugat.txt");
}

QByteArray DataActions::vocabularyExport(const QList<VocabularyWord>& vocabulary, const QList<Snippet>& snippets)
{
    // QJsonObject keeps its keys sorted.
    const QJsonObject object { { QStringLiteral("snippets"), jsonArray(snippets) },
        { QStringLiteral("vocabulary"), jsonArray(vocabulary) } };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace kavo

#pragma once

#include "calendar.h"
#include "raw_value.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace kavo {

/// Where a dictation came from, as History stores it.
namespace DictationSource {
/// This computer: the hotkey, the pill, a menu or the command line.
inline const QString computer = QStringLiteral("mac");
inline const QString phone = QStringLiteral("phone");
} // namespace DictationSource

/// One dictation, successful or not, as kept in history.json.
struct HistoryEntry
{
    enum class Status { done, failed, discarded };

    QUuid id;
    QDateTime date;
    QString text; ///< empty for a failed or discarded dictation
    double duration = 0; ///< recording length in seconds
    QString model;
    QString source = DictationSource::computer;
    std::optional<QString> appName;
    std::optional<QString> appID;
    Status status = Status::done;
    std::optional<QString> audioFile; ///< a file name inside Config::audioDirectory(), never a path
    std::optional<QString> error;
    bool offline = false;
    std::optional<double> latency; ///< seconds from the end of recording to delivery

    bool operator==(const HistoryEntry&) const = default;

    /// The object of history.json, keys in declaration order; optional fields are written only when set.
    QJsonObject toJson() const;
    /// Absent or null keys take their defaults (a new UUID, the moment of decoding) and an unknown status
    /// reads as done; any other key with a value of the wrong type, a malformed UUID or a date not in
    /// json::dateText's form gives nothing, with a short reason naming the key in `error`.
    static std::optional<HistoryEntry> fromJson(const QJsonObject& object, QString* error = nullptr);
};

template <> struct RawValues<HistoryEntry::Status>
{
    static constexpr std::array<std::pair<HistoryEntry::Status, const char*>, 3> table { {
        { HistoryEntry::Status::done, "done" },
        { HistoryEntry::Status::failed, "failed" },
        { HistoryEntry::Status::discarded, "discarded" },
    } };
};

/// The dictation history, newest first, with the recordings kept for its entries.
/// Every change is written to history.json at once; write failures leave the in-memory list authoritative.
struct History
{
    static constexpr int limit = 1000;

    QList<HistoryEntry> entries;

    /// history.json in the data folder.
    static QString filePath();

    /// Strict: the whole document fails on any entry that fails, with the reason in `error`.
    static std::optional<History> decode(const QByteArray& bytes, QString* error = nullptr);
    /// Indented {"entries": [...]}.
    QByteArray encode() const;

    /// Empty when the file cannot be read; an undecodable file is set aside and gives an empty history.
    /// Never writes the history file.
    static History load(const QString& path = filePath());

    /// Puts the entry first and drops, with their recordings, the entries beyond the limit; saves.
    void add(HistoryEntry entry);
    /// Removes, with their recordings, the entries older than `keepingDays` calendar days before `now`.
    /// Fewer than one day keeps everything. Saves only when something was removed.
    void prune(int keepingDays, const QDateTime& now, const Calendar& calendar = Calendar::current());
    /// Removes every entry and every kept recording; saves.
    void clear();
    /// Writes history.json atomically, creating the data folder; failures are ignored.
    void save() const;
    /// Replaces the entry with the same id and saves; does nothing when there is none.
    void update(const HistoryEntry& entry);
    /// Removes the entry with this id and its kept recording, and saves; does nothing when there is none.
    void remove(const QUuid& id);

    /// Moves a finished recording into the audio folder as UUID.EXT and returns that name;
    /// logs "could not keep the audio: …" and gives nothing on failure.
    static std::optional<QString> keepAudio(const QString& path, const QUuid& id);
    /// Deletes the entry's kept recording, if any; failures are ignored.
    static void deleteAudio(const HistoryEntry& entry);

    struct DayGroup
    {
        QDateTime day; ///< start of the calendar day
        QList<HistoryEntry> entries;
    };
    /// Consecutive entries of the same day form one group; the order of the list is kept, never sorted.
    static QList<DayGroup> groups(const QList<HistoryEntry>& entries, const Calendar& calendar);

    struct Stats
    {
        int today = 0;
        int week = 0;
    };
    /// Words of the done entries dictated on the day and in the calendar week of `now`.
    Stats stats(const QDateTime& now, const Calendar& calendar) const;

    /// Maximal runs of characters that are not Unicode white space or line breaks.
    static int wordCount(const QString& text);
};

} // namespace kavo

#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>

#include <optional>

namespace kavo {

/// The phone server's TLS identity: a self-signed certificate for this computer's addresses, made with the openssl
/// program, kept in the data folder as "server.p12" beside the addresses it names ("server-addresses.txt"), and made
/// again when the addresses change. The phone's user accepts the certificate in the browser; nothing is trusted or
/// put in a keyring.
///
/// Loading and making it runs openssl and waits for it, so it never runs on the main thread: the phone server calls it
/// on its own thread ("kavo.phone-server"). An instance holds no state but where it looks for openssl, and is used
/// from one thread at a time.
class ServerIdentity
{
public:
    /// What QSslConfiguration needs as its local certificate and private key.
    struct Identity
    {
        QSslKey key;
        QSslCertificate certificate;
    };

    /// "/usr/bin/openssl", "/opt/homebrew/bin/openssl", "/usr/local/bin/openssl": the first executable file is used.
    static QStringList defaultOpensslPlaces();

    explicit ServerIdentity(QStringList opensslPlaces = defaultOpensslPlaces());

    /// The stored identity when it was made for these addresses (in any order), else a new one; none when no
    /// identity can be made or the new one cannot be read.
    std::optional<Identity> loadOrCreate(const QStringList& addresses) const;
    /// The stored identity; none without a log line when the file cannot be read, logged when it cannot be imported.
    std::optional<Identity> load() const;
    /// Whether the stored address list differs from these addresses; the certificate's expiry plays no part.
    bool needsRegeneration(const QStringList& addresses) const;
    /// Makes a new key and certificate for these addresses and stores them with the address list.
    bool generate(const QStringList& addresses) const;
    /// The first of the places that holds an executable file.
    std::optional<QString> openssl() const;

    /// "DNS:localhost", "IP:127.0.0.1", then "IP:" + each address in the given order.
    static QStringList subjectAltNames(const QStringList& addresses);
    /// Runs the program to its end with its output discarded; logs why when it cannot start or exits with a failure.
    static bool run(const QString& program, const QStringList& arguments);
    /// Whether the program's "version" output begins with "OpenSSL 3" or "OpenSSL 4": those take "-legacy", which
    /// older versions and other libraries' openssl programs refuse.
    static bool opensslIsVersion3(const QString& program);

    static QString filePath();
    static QString addressesPath();

private:
    QStringList m_opensslPlaces;
};

} // namespace kavo

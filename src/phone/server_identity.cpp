#include "server_identity.h"

#include "store/config.h"
#include "store/json_support.h"
#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace kavo {
namespace {

const QString friendlyName = QStringLiteral("kavo voice");
// Fixed: what keeps the file private is its permissions.
const QString password = QStringLiteral("qirv");

QString addressList(QStringList addresses)
{
    addresses.sort();
    return addresses.join(u',');
}

// A self-signed certificate that browsers accept for a server, once the user agrees, at the names given.
QByteArray configuration(const QStringList& names)
{
    const QString fixed = QStringLiteral("[req]\ndistinguished_name = dn\nx509_extensions = ext\nprompt = no\n"
                                         "[dn]\nCN = kavo voice\n"
                                         "[ext]\nbasicConstraints = critical,CA:false\n"
                                         "keyUsage = critical,digitalSignature,keyEncipherment\n"
                                         "extendedKeyUsage = serverAuth\nsubjectAltName = ");
    return (fixed + names.join(u',')).toUtf8();
}

// Holds the key material on its way into the PKCS#12 file; removed with everything in it however generation ends.
class WorkFolder
{
public:
    WorkFolder()
        : m_dir(
            QDir(QDir::tempPath())
                .filePath(QStringLiteral("kavo-cert-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()))
    {
        // A folder that cannot be made makes openssl fail, which is logged there.
        QDir().mkpath(m_dir.path());
    }
    ~WorkFolder() { m_dir.removeRecursively(); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QDir m_dir;
};

} // namespace

QStringList ServerIdentity::defaultOpensslPlaces()
{
    return { QStringLiteral("/usr/bin/openssl"), QStringLiteral("/opt/homebrew/bin/openssl"),
        QStringLiteral("/usr/local/bin/openssl") };
}

ServerIdentity::ServerIdentity(QStringList opensslPlaces)
    : m_opensslPlaces(std::move(opensslPlaces))
{ }

QString ServerIdentity::filePath()
{
    return QDir(Config::directory()).filePath(QStringLiteral("server.p12"));
}

QString ServerIdentity::addressesPath()
{
    return QDir(Config::directory()).filePath(QStringLiteral("server-addresses.txt"));
}

std::optional<ServerIdentity::Identity> ServerIdentity::loadOrCreate(const QStringList& addresses) const
{
    if (auto stored = load(); stored && !needsRegeneration(addresses))
        return stored;
    if (!generate(addresses))
        return std::nullopt;
    return load();
}

std::optional<ServerIdentity::Identity> ServerIdentity::load() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Identity identity;
    if (!QSslCertificate::importPkcs12(&file, &identity.key, &identity.certificate, nullptr, password.toUtf8())
        || identity.key.isNull() || identity.certificate.isNull()) {
        // Qt tells only that the import failed; 1 stands for that.
        Log::write(QStringLiteral("could not import the server certificate (status 1)"));
        return std::nullopt;
    }
    return identity;
}

bool ServerIdentity::needsRegeneration(const QStringList& addresses) const
{
    QFile file(addressesPath());
    const QString stored = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    return stored != addressList(addresses);
}

bool ServerIdentity::generate(const QStringList& addresses) const
{
    const std::optional<QString> program = openssl();
    if (!program) {
        Log::write(QStringLiteral("openssl not found, cannot create a server certificate"));
        return false;
    }
    const WorkFolder work;
    const QStringList names = subjectAltNames(addresses);
    const QString config = work.filePath(QStringLiteral("openssl.cnf"));
    const QString key = work.filePath(QStringLiteral("key.pem"));
    const QString certificate = work.filePath(QStringLiteral("cert.pem"));
    // A configuration that cannot be written makes openssl fail, which is logged there.
    writeFileAtomically(config, configuration(names));
    if (!run(*program,
            { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("3650"), QStringLiteral("-config"),
                config, QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificate }))
        return false;

    // openssl writes the file in place and does not make the folder, which the first launch may not have made yet.
    QDir().mkpath(Config::directory());
    QStringList exportArguments { QStringLiteral("pkcs12"), QStringLiteral("-export"), QStringLiteral("-out"),
        filePath(), QStringLiteral("-inkey"), key, QStringLiteral("-in"), certificate, QStringLiteral("-name"),
        friendlyName, QStringLiteral("-passout"), QStringLiteral("pass:") + password, QStringLiteral("-keypbe"),
        QStringLiteral("PBE-SHA1-3DES"), QStringLiteral("-certpbe"), QStringLiteral("PBE-SHA1-3DES"),
        QStringLiteral("-macalg"), QStringLiteral("sha1") };
    if (opensslIsVersion3(*program))
        exportArguments.append(QStringLiteral("-legacy"));
    if (!run(*program, exportArguments))
        return false;

    // The address list decides whether the certificate is made again; failing to store it only means that.
    writeFileAtomically(addressesPath(), addressList(addresses).toUtf8());
    QFile::setPermissions(filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Log::write(QStringLiteral("created a server certificate for ") + names.join(u','));
    return true;
}

std::optional<QString> ServerIdentity::openssl() const
{
    const auto found = std::find_if(m_opensslPlaces.begin(), m_opensslPlaces.end(), [](const QString& place) {
        const QFileInfo info(place);
        return info.isFile() && info.isExecutable();
    });
    return found != m_opensslPlaces.end() ? std::optional(*found) : std::nullopt;
}

QStringList ServerIdentity::subjectAltNames(const QStringList& addresses)
{
    QStringList names { QStringLiteral("DNS:localhost"), QStringLiteral("IP:127.0.0.1") };
    for (const QString& address : addresses)
        names.append(QStringLiteral("IP:") + address);
    return names;
}

bool ServerIdentity::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    // Nothing is read from openssl: a question it might ask gets the end of its input instead of hanging.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) {
        Log::write(QStringLiteral("openssl failed: ") + process.errorString());
        return false;
    }
    process.waitForFinished(-1);
    // A program killed by a signal reports the signal's number.
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        Log::write(QStringLiteral("openssl exited with ") + QString::number(process.exitCode()));
        return false;
    }
    return true;
}

bool ServerIdentity::opensslIsVersion3(const QString& program)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, { QStringLiteral("version") });
    if (!process.waitForStarted(-1))
        return false;
    process.waitForFinished(-1);
    const QString version = QString::fromUtf8(process.readAllStandardOutput());
    return version.startsWith(QStringLiteral("OpenSSL 3")) || version.startsWith(QStringLiteral("OpenSSL 4"));
}

} // namespace kavo

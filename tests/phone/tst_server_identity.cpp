#include "phone/server_identity.h"

#include "store/log.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kavo;
using test::row;

namespace {

// The names a TLS client reads from the certificate, sorted.
QStringList namesIn(const QSslCertificate& certificate)
{
    const auto names = certificate.subjectAlternativeNames();
    QStringList result;
    for (const QString& name : names.values(QSsl::DnsEntry))
        result.append("DNS:" + name);
    for (const QString& name : names.values(QSsl::IpAddressEntry))
        result.append("IP:" + name);
    result.sort();
    return result;
}

QString logged()
{
    return test::logText().trimmed().replace(u'\n', " | ");
}

} // namespace

class TestServerIdentity : public QObject
{
    Q_OBJECT

    // The temporary folder of this test alone, where no working folder may be left behind.
    QTemporaryDir m_temporary;

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        qputenv("TMPDIR", m_temporary.path().toUtf8());
        QCOMPARE(QDir::tempPath(), m_temporary.path());
    }

    void init()
    {
        Log::flush();
        test::emptyDataFolder();
    }

    void cleanup() { QCOMPARE(QDir(m_temporary.path()).entryList({ "kavo-cert-*" }, QDir::AllEntries), QStringList()); }

    // One identity through the changes of the computer's addresses, with the system's openssl.
    void regenerationFollowsTheAddresses()
    {
        struct Step
        {
            const char* what;
            QStringList addresses;
            bool corruptFirst;
            bool madeAgain;
        };
        const QList<Step> steps {
            { "first start", { "192.168.1.20", "10.0.0.5" }, false, true },
            { "the same addresses in another order", { "10.0.0.5", "192.168.1.20" }, false, false },
            { "an added address", { "10.0.0.5", "192.168.1.20", "172.16.0.9" }, false, true },
            { "no addresses", {}, false, true },
            { "a corrupted file, the same addresses", {}, true, true },
        };
        QSslCertificate previous;
        for (const Step& step : steps) {
            if (step.corruptFirst) {
                // A new file, readable by all: openssl keeps the mode of a file it overwrites.
                QFile::remove(ServerIdentity::filePath());
                test::writeFile(ServerIdentity::filePath(), "not a PKCS#12 file");
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unable to read PKCS#12"));
            }
            Log::reset();
            const std::optional<ServerIdentity::Identity> made = ServerIdentity().loadOrCreate(step.addresses);
            QVERIFY2(made && (made->certificate != previous) == step.madeAgain, step.what);
            previous = made->certificate;

            QStringList names { "DNS:localhost", "IP:127.0.0.1" };
            for (const QString& address : step.addresses)
                names.append("IP:" + address);
            const QString imported = step.corruptFirst ? "could not import the server certificate (status 1) | " : "";
            QCOMPARE(logged(),
                step.madeAgain ? QString(imported + "created a server certificate for " + names.join(u',')) : "");
            names.sort();
            QCOMPARE(namesIn(made->certificate), names);
            QStringList sorted = step.addresses;
            sorted.sort();
            QCOMPARE(test::readFile(ServerIdentity::addressesPath()), sorted.join(u',').toUtf8());
            QCOMPARE(QFile::permissions(ServerIdentity::filePath()),
                QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        }
        QCOMPARE(previous.subjectInfo(QSslCertificate::CommonName), QStringList("kavo voice"));
        QCOMPARE(previous.effectiveDate().daysTo(previous.expiryDate()), 3650);
        const QString text = previous.toText().simplified();
        for (const char* expected : { "Public-Key: (2048 bit)", "Basic Constraints: critical CA:FALSE",
                 "Key Usage: critical Digital Signature, Key Encipherment",
                 "Extended Key Usage: TLS Web Server Authentication" })
            QVERIFY2(text.contains(expected), expected);
    }

    void opensslPrograms_data()
    {
        // `program`: a stand-in for openssl that records its calls and runs the system's, except that it answers
        // "version" with `version` when given and fails the command `fails`; one that cannot start; or none.
        test::columns<QString, QString, QString, bool, QString>({ "program", "version", "fails", "legacy", "log" });
        const QString created = "created a server certificate for DNS:localhost,IP:127.0.0.1,IP:192.168.1.20";
        row("OpenSSL 3 gets -legacy", "openssl", "", "", true, created);
        row("another library's openssl does not", "openssl", "LibreSSL 3.8.2", "", false, created);
        row("a failing export", "openssl", "", "pkcs12", true, "openssl exited with 1");
        row("a program that cannot start", "unstartable", "", "", false,
            "openssl failed: execvp: No such file or directory");
        row("no openssl", "", "", "", false, "openssl not found, cannot create a server certificate");
    }

    void opensslPrograms()
    {
        const auto [program, version, fails, legacy, log]
            = test::fetch<QString, QString, QString, bool, QString>({ "program", "version", "fails", "legacy", "log" });
        const QTemporaryDir folder;
        const QString path = folder.filePath("openssl");
        QStringList places;
        if (!program.isEmpty()) {
            // Places without an executable file come first and are passed over.
            places = { folder.filePath("missing"), folder.path(), folder.filePath("not-executable"), path };
            test::writeFile(places[2], "#!/bin/sh\n");
            QString script = program == "unstartable" ? "#!/nonexistent/sh\n" : "#!/bin/sh\n";
            script += "echo \"$*\" >> '" + path + ".calls'\n";
            if (!version.isEmpty())
                script += "[ \"$1\" = version ] && echo '" + version + "' && exit 0\n";
            if (!fails.isEmpty())
                script += "[ \"$1\" = " + fails + " ] && exit 1\n";
            test::writeFile(path, (script + "exec /usr/bin/openssl \"$@\"\n").toUtf8());
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        Log::reset();
        const std::optional<ServerIdentity::Identity> made = ServerIdentity(places).loadOrCreate({ "192.168.1.20" });
        QCOMPARE(logged(), log);
        QCOMPARE(bool(made), log.startsWith("created "));
        QCOMPARE(QFile::exists(ServerIdentity::addressesPath()), bool(made));
        if (program != "openssl")
            return;
        const QStringList calls = QString::fromUtf8(test::readFile(path + ".calls")).split(u'\n');
        // The key is made in a working folder of its own in the temporary folder, which cleanup() finds gone.
        QVERIFY2(calls[0].contains(QRegularExpression(" -config " + QRegularExpression::escape(m_temporary.path())
                     + "/kavo-cert-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}/openssl.cnf ")),
            qPrintable(calls[0]));
        QCOMPARE(calls.filter(QRegularExpression("^pkcs12 ")).value(0).endsWith(" -legacy"), legacy);
    }
};

QTEST_GUILESS_MAIN(TestServerIdentity)
#include "tst_server_identity.moc"

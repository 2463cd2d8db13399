#include "phone/qr_code.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kavo;

namespace {

// What zbar, a decoder of its own, reads from the code drawn as a camera sees it: 4 pixels a module, inside the
// 4 light modules of quiet zone that scanners need.
QString decoded(const QRCode& code)
{
    QImage image(code.size + 8, code.size + 8, QImage::Format_Grayscale8);
    image.fill(255);
    for (int index = 0; index < code.dark.size(); ++index)
        if (code.dark[index])
            image.setPixel(4 + index % code.size, 4 + index / code.size, 0);
    QTemporaryDir folder;
    const QString path = folder.filePath("code.png");
    if (!image.scaled(image.size() * 4).save(path))
        return "<not saved>";
    QProcess zbar;
    zbar.start("zbarimg", { "--raw", "-q", path });
    if (!zbar.waitForFinished(30'000) || zbar.exitCode() != 0)
        return "<not decoded: " + QString::fromUtf8(zbar.readAllStandardError()) + '>';
    return QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1); // zbar ends the text with a line break
}

// What zbar reads from a code drawn in a terminal, each character a cell of 1 × 2 modules whose upper and lower
// halves are dark where the character fills them.
QString decodedFromTerminal(const QString& text)
{
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    const int side = int(lines.value(0).size());
    QRCode code { side, QList<bool>(qsizetype(side) * 2 * lines.size()) };
    for (int line = 0; line < lines.size(); ++line) {
        for (int column = 0; column < lines[line].size(); ++column) {
            const QChar cell = lines[line][column];
            code.dark[(2 * line) * side + column] = cell == u'█' || cell == u'▀';
            code.dark[(2 * line + 1) * side + column] = cell == u'█' || cell == u'▄';
        }
    }
    code.dark.resize(qsizetype(side) * side);
    return decoded(code);
}

// A finder pattern: a dark 7 × 7 ring around a light ring around a dark 3 × 3 square.
bool hasFinderAt(const QRCode& code, int top, int left)
{
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            if (code.dark[(top + row) * code.size + left + column] != (std::max(qAbs(row - 3), qAbs(column - 3)) != 2))
                return false;
    return true;
}

} // namespace

class TestQRCode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void phoneLink_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("address and token") << "https://192.168.1.20:8443/?t=AbC-123_xyz";
        QTest::newRow("beyond ASCII, as UTF-8") << "https://kompyuter.local/?t=Oʻzbekcha—Русский";
    }

    void phoneLink()
    {
        QFETCH(QString, text);
        const std::optional<QRCode> code = QRCode::make(text);
        QVERIFY(code);
        const int size = code->size;
        QCOMPARE(code->dark.size(), qsizetype(size) * size);
        QCOMPARE(decoded(*code), text);
        QCOMPARE(decodedFromTerminal(code->terminalText()), text);
        QCOMPARE(code->terminalText().count(u'\n'), (size + 9) / 2);
        // The corners of the matrix itself hold the finder patterns: no quiet zone is left around it.
        QVERIFY(hasFinderAt(*code, 0, 0) && hasFinderAt(*code, 0, size - 7) && hasFinderAt(*code, size - 7, 0));
        // Both copies of the format information begin with the error-correction level: dark, light is M.
        QCOMPARE(QList({ code->dark[8 * size], code->dark[8 * size + 1] }), QList({ true, false }));
        QCOMPARE(
            QList({ code->dark[(size - 1) * size + 8], code->dark[(size - 2) * size + 8] }), QList({ true, false }));
    }

    // A code from the cache is the stored one (its matrix shares the stored storage), not a second encoding.
    void cacheKeepsTheLastCode()
    {
        const QString link = "https://192.168.1.20:8443/?t=first";
        const std::optional<QRCode> first = QRCode::cached(link);
        QVERIFY(first && *first == QRCode::make(link));
        QCOMPARE(QRCode::cached(link)->dark.constData(), first->dark.constData());

        const QString other = "https://10.0.0.7:8443/?t=second";
        const std::optional<QRCode> second = QRCode::cached(other);
        QVERIFY(second && *second == QRCode::make(other) && *second != *first);
        const std::optional<QRCode> again = QRCode::cached(link);
        QVERIFY(again && *again == *first && again->dark.constData() != first->dark.constData());
        QVERIFY(!QRCode::cached(QString()) && !QRCode::cached(QString()));
    }
};

QTEST_GUILESS_MAIN(TestQRCode)
#include "tst_qr_code.moc"

// The button faces and the window icon as the program gets them: out of the
// resource system, through Qt's GIF and ICO plug-ins. Format properties that
// the decoders hide (the GIF colour table and its transparent entry, the
// ICO's bit depth) are read from the raw bytes.

#include <QtTest>

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>

namespace {

const QSize kFaceSize(175, 40);
const QColor kNormalGreen(0, 153, 51);
const QColor kHoverGreen(0, 148, 66);
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);

QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage decode(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

bool opaque(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) == 255;
}

// Qt's GIF decoder reports neither the table size nor the colour of the
// transparent entry (it hands that entry back with alpha 0), so walk the
// blocks of the file.
struct GifFacts {
    QString error; // empty when the walk reached the trailer
    QByteArray signature;
    QSize screen;
    int globalTableEntries = 0;
    QList<QRgb> globalTable;
    int images = 0;
    bool transparentFlag = false;
    int transparentIndex = -1;
};

GifFacts walkGif(const QByteArray& data)
{
    GifFacts gif;
    const auto at = [&](qsizetype i) -> int { return i < data.size() ? quint8(data.at(i)) : 0; };
    if (data.size() < 13) {
        gif.error = QStringLiteral("shorter than a GIF header");
        return gif;
    }
    gif.signature = data.left(6);
    gif.screen = QSize(at(6) | at(7) << 8, at(8) | at(9) << 8);
    qsizetype pos = 13;
    if (at(10) & 0x80) {
        gif.globalTableEntries = 1 << ((at(10) & 7) + 1);
        for (int i = 0; i < gif.globalTableEntries; ++i, pos += 3)
            gif.globalTable.append(qRgb(at(pos), at(pos + 1), at(pos + 2)));
    }
    const auto skipSubBlocks = [&] {
        while (pos < data.size()) {
            const int length = at(pos++);
            if (length == 0) return true;
            pos += length;
        }
        return false;
    };
    while (pos < data.size()) {
        const qsizetype start = pos;
        const int introducer = at(pos++);
        if (introducer == 0x3B) return gif;
        if (introducer == 0x21) {
            const int label = at(pos++);
            if (label == 0xF9 && at(pos) == 4) {
                gif.transparentFlag = at(pos + 1) & 1;
                gif.transparentIndex = at(pos + 4);
            }
            if (!skipSubBlocks()) break;
        } else if (introducer == 0x2C) {
            ++gif.images;
            const int packed = at(pos + 8);
            pos += 9;
            if (packed & 0x80) pos += 3 * (1 << ((packed & 7) + 1));
            ++pos; // LZW minimum code size
            if (!skipSubBlocks()) break;
        } else {
            gif.error = QStringLiteral("unknown block 0x%1 at byte %2")
                            .arg(introducer, 2, 16, QLatin1Char('0'))
                            .arg(start);
            return gif;
        }
    }
    gif.error = QStringLiteral("file ends before the trailer");
    return gif;
}

struct IcoEntry {
    int width = 0;
    int height = 0;
    int entryBitCount = 0;
    quint32 headerSize = 0;
    qint32 headerHeight = 0;
    int headerBitCount = 0;
};

QList<IcoEntry> walkIco(const QByteArray& data)
{
    const auto u8 = [&](qsizetype i) -> int { return i < data.size() ? quint8(data.at(i)) : 0; };
    const auto u16 = [&](qsizetype i) {
        return i + 2 <= data.size() ? qFromLittleEndian<quint16>(data.constData() + i) : 0;
    };
    const auto u32 = [&](qsizetype i) {
        return i + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + i) : 0u;
    };
    QList<IcoEntry> entries;
    if (u16(0) != 0 || u16(2) != 1) return entries;
    for (int i = 0; i < u16(4); ++i) {
        const qsizetype dir = 6 + 16 * i;
        IcoEntry e;
        e.width = u8(dir) ? u8(dir) : 256; // 0 stands for 256
        e.height = u8(dir + 1) ? u8(dir + 1) : 256;
        e.entryBitCount = u16(dir + 6);
        const qsizetype bmp = u32(dir + 12);
        e.headerSize = u32(bmp);
        e.headerHeight = qint32(u32(bmp + 8));
        e.headerBitCount = u16(bmp + 14);
        entries.append(e);
    }
    return entries;
}

// Rectangle of the opaque pixels, leaving out a band of `inset` pixels along
// the edges (the hover face's frame).
QRect opaqueBounds(const QImage& image, int inset)
{
    QRect bounds;
    for (int y = inset; y < image.height() - inset; ++y)
        for (int x = inset; x < image.width() - inset; ++x)
            if (opaque(image, x, y)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void faceFile_data() { addFaceRows(); }
    void faceFile();
    void faceDrawing_data() { addFaceRows(); }
    void faceDrawing();
    void wordmarkSamePlace_data();
    void wordmarkSamePlace();
    void iconImage_data();
    void iconImage();
    void highDpiFaceFound_data();
    void highDpiFaceFound();

private:
    static void addFaceRows();
};

void TestPictures::addFaceRows()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QColor>("green");
    QTest::addColumn<QColor>("otherGreen");
    QTest::addColumn<bool>("framed");
    QTest::newRow("normal face 1x")
        << ":/pictures/command1.gif" << 1 << kNormalGreen << kHoverGreen << false;
    QTest::newRow("normal face 2x")
        << ":/pictures/command1@2x.gif" << 2 << kNormalGreen << kHoverGreen << false;
    QTest::newRow("hover face 1x")
        << ":/pictures/command2.gif" << 1 << kHoverGreen << kNormalGreen << true;
    QTest::newRow("hover face 2x")
        << ":/pictures/command2@2x.gif" << 2 << kHoverGreen << kNormalGreen << true;
}

void TestPictures::faceFile()
{
    QFETCH(QString, path);
    QFETCH(int, scale);

    QImageReader reader(path);
    QVERIFY2(reader.canRead(),
        qPrintable(reader.errorString() + " (is Qt's GIF image plug-in installed?)"));
    QCOMPARE(reader.format(), QByteArray("gif"));
    QCOMPARE(reader.size(), kFaceSize * scale);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), kFaceSize * scale);

    const GifFacts gif = walkGif(readResource(path));
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(gif.screen, kFaceSize * scale);
    QCOMPARE(gif.globalTableEntries, 256);
    QCOMPARE(gif.images, 1);
    QVERIFY2(gif.transparentFlag, "no transparent colour set");
    QVERIFY(gif.transparentIndex >= 0 && gif.transparentIndex < gif.globalTable.size());
    QCOMPARE(QColor(gif.globalTable.at(gif.transparentIndex)), QColor(kWhite));
}

void TestPictures::faceDrawing()
{
    QFETCH(QString, path);
    QFETCH(int, scale);
    QFETCH(QColor, green);
    QFETCH(QColor, otherGreen);
    QFETCH(bool, framed);

    const QImage image = decode(path);
    QVERIFY(!image.isNull());
    const int w = image.width();
    const int h = image.height();
    const int frame = 2 * scale;
    const int stripeBand = 3 * scale; // rows either side of mid-height

    int mainColour = 0, strayColour = 0, transparent = 0;
    int paleInBand = 0, paleElsewhere = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb px = image.pixel(x, y);
            // Along the edges: a frame exactly two pixels wide in the main
            // colour, then a clear ring; or, unframed, nothing at all.
            const int depth = std::min({ x, y, w - 1 - x, h - 1 - y });
            if (depth <= frame && (framed && depth < frame ? px != green.rgb() : qAlpha(px) != 0))
                QFAIL(qPrintable(QStringLiteral("edge pixel %1,%2 is %3")
                        .arg(x)
                        .arg(y)
                        .arg(px, 8, 16, QLatin1Char('0'))));
            if (qAlpha(px) == 0) {
                ++transparent;
                continue;
            }
            QCOMPARE(qAlpha(px), 255);
            mainColour += px == green.rgb();
            strayColour += px == otherGreen.rgb();
            // The stripe is the only pale colour; the blended rim of the
            // green letters stays darker than this.
            if (qRed(px) >= 200 && qGreen(px) > qRed(px))
                ++(qAbs(y - h / 2) <= stripeBand ? paleInBand : paleElsewhere);
        }
    }
    QVERIFY2(mainColour * 6 > w * h, "too little of the main colour");
    QCOMPARE(strayColour, 0);
    QVERIFY2(transparent * 3 > w * h, "too little transparent ground");
    QVERIFY2(paleInBand > 40 * scale, "no pale stripe at mid-height");
    QCOMPARE(paleElsewhere, 0);
}

void TestPictures::wordmarkSamePlace_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("normalPath");
    QTest::addColumn<QString>("hoverPath");
    QTest::newRow("1x") << 1 << ":/pictures/command1.gif"
                        << ":/pictures/command2.gif";
    QTest::newRow("2x") << 2 << ":/pictures/command1@2x.gif"
                        << ":/pictures/command2@2x.gif";
}

// The swap of the two buttons must show only as the frame appearing, so the
// letters cover the same pixels in both faces; and the 2x faces keep the
// 1x layout at double size.
void TestPictures::wordmarkSamePlace()
{
    QFETCH(int, scale);
    QFETCH(QString, normalPath);
    QFETCH(QString, hoverPath);

    const QImage normal = decode(normalPath);
    const QImage hover = decode(hoverPath);
    QCOMPARE(normal.size(), hover.size());
    const int frame = 2 * scale;
    for (int y = frame; y < normal.height() - frame; ++y)
        for (int x = frame; x < normal.width() - frame; ++x)
            if (opaque(normal, x, y) != opaque(hover, x, y))
                QFAIL(qPrintable(QStringLiteral("letters differ at %1,%2").arg(x).arg(y)));

    const QRect base = opaqueBounds(decode(":/pictures/command1.gif"), 2);
    const QRect here = opaqueBounds(normal, frame);
    QVERIFY(!here.isEmpty());
    const QRect expected(base.topLeft() * scale, base.size() * scale);
    const QMargins off(here.left() - expected.left(), here.top() - expected.top(),
        here.right() - expected.right(), here.bottom() - expected.bottom());
    QVERIFY2(std::max({ qAbs(off.left()), qAbs(off.top()), qAbs(off.right()), qAbs(off.bottom()) })
            <= scale,
        "letters not where the 1x layout puts them");
}

void TestPictures::iconImage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("png");
    QTest::newRow("first image 32 x 32") << 0 << 32 << ":/icons/mensurel-32.png";
    QTest::newRow("second image 16 x 16") << 1 << 16 << ":/icons/mensurel-16.png";
}

void TestPictures::iconImage()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(QString, png);
    const QString path = QStringLiteral(":/icons/mensurel.ico");

    const QList<IcoEntry> entries = walkIco(readResource(path));
    QCOMPARE(entries.size(), 2);
    const IcoEntry& entry = entries.at(index);
    QCOMPARE(entry.width, size);
    QCOMPARE(entry.height, size);
    QCOMPARE(entry.entryBitCount, 4);
    QCOMPARE(entry.headerSize, 40u); // BITMAPINFOHEADER
    QCOMPARE(entry.headerHeight, 2 * size); // colour rows and AND mask
    QCOMPARE(entry.headerBitCount, 4);

    QImageReader reader(path);
    QVERIFY2(reader.canRead(),
        qPrintable(reader.errorString() + " (is Qt's ICO image plug-in installed?)"));
    QCOMPARE(reader.imageCount(), 2);
    QVERIFY(reader.jumpToImage(index));
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));

    // Grey ground, white arrows, yellow line; nothing transparent.
    int tallestUpper = -1, tallestUpperX = -1, tallestLower = -1, tallestLowerX = -1;
    for (int x = 0; x < size; ++x) {
        int upperWhite = 0, lowerWhite = 0;
        for (int y = 0; y < size; ++y) {
            const QRgb px = image.pixel(x, y);
            QVERIFY2(qAlpha(px) == 255,
                qPrintable(QStringLiteral("transparent at %1,%2").arg(x).arg(y)));
            QVERIFY2(px == kGrey || px == kWhite || px == kYellow,
                qPrintable(QStringLiteral("colour %1 at %2,%3")
                        .arg(px, 8, 16, QLatin1Char('0'))
                        .arg(x)
                        .arg(y)));
            const bool lineRow = y == size / 2 - 1 || y == size / 2;
            QVERIFY2(px != kYellow || lineRow,
                qPrintable(QStringLiteral("yellow off the line at %1,%2").arg(x).arg(y)));
            if (px == kWhite) {
                QVERIFY2(!lineRow, "white on the line rows");
                ++(y < size / 2 ? upperWhite : lowerWhite);
            }
        }
        if (upperWhite > tallestUpper) { // leftmost of equals
            tallestUpper = upperWhite;
            tallestUpperX = x;
        }
        if (lowerWhite >= tallestLower) { // rightmost of equals
            tallestLower = lowerWhite;
            tallestLowerX = x;
        }
    }
    // The dashes run across the full width: both ends are yellow, and there
    // are gaps between them.
    for (int y : { size / 2 - 1, size / 2 }) {
        QCOMPARE(image.pixel(0, y), kYellow);
        QCOMPARE(image.pixel(size - 1, y), kYellow);
        int dashes = 0;
        for (int x = 0; x < size; ++x)
            dashes += image.pixel(x, y) == kYellow && (x == 0 || image.pixel(x - 1, y) != kYellow);
        QVERIFY2(dashes >= 3, qPrintable(QStringLiteral("%1 dashes in row %2").arg(dashes).arg(y)));
    }
    // An arrow's head is its tallest part: on the left above, on the right
    // below.
    QVERIFY2(tallestUpper > 2 && tallestUpperX < size / 2, "upper arrow does not point left");
    QVERIFY2(tallestLower > 2 && tallestLowerX >= size / 2, "lower arrow does not point right");

    // The PNG for desktop installation is the same image.
    QCOMPARE(decode(png), image);
}

void TestPictures::highDpiFaceFound_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("doublePath");
    QTest::newRow("normal face") << ":/pictures/command1.gif"
                                 << ":/pictures/command1@2x.gif";
    QTest::newRow("hover face") << ":/pictures/command2.gif"
                                << ":/pictures/command2@2x.gif";
}

// QIcon adds the "@2x" file beside the base file only when the application
// runs at a device pixel ratio above 1 (ctest's pictures_scale2 run).
void TestPictures::highDpiFaceFound()
{
    QFETCH(QString, path);
    QFETCH(QString, doublePath);
    if (qApp->devicePixelRatio() < 2) QSKIP("needs QT_SCALE_FACTOR=2");
    const QIcon icon(path);
    const QPixmap pixmap = icon.pixmap(kFaceSize, 2.0);
    QCOMPARE(pixmap.size(), kFaceSize * 2);
    // Premultiplied on both sides: the GIF decoder keeps white in its
    // transparent pixels (0x00ffffff), a pixmap holds 0 there.
    constexpr auto format = QImage::Format_ARGB32_Premultiplied;
    QCOMPARE(pixmap.toImage().convertToFormat(format), QImage(doublePath).convertToFormat(format));
}

QTEST_MAIN(TestPictures)
#include "pictures_test.moc"

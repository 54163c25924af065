// The button faces and the window icon as the program gets them: out of the
// resource system, through Qt's GIF, ICO and PNG image plug-ins. The files'
// bytes and drawings are checked by resources/check.py; this test covers
// what only Qt shows: that its decoders read them at the expected size with
// transparency where the files have it, and that QIcon finds the @2x faces.

#include <QtTest>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace {

const QSize kFaceSize(175, 40);

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void decoded_data();
    void decoded();
    void highDpiFaceFound_data();
    void highDpiFaceFound();
};

void TestPictures::decoded_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("normal face 1x")
        << ":/pictures/command1.gif" << 0 << QByteArray("gif") << kFaceSize << true;
    QTest::newRow("normal face 2x")
        << ":/pictures/command1@2x.gif" << 0 << QByteArray("gif") << kFaceSize * 2 << true;
    QTest::newRow("hover face 1x")
        << ":/pictures/command2.gif" << 0 << QByteArray("gif") << kFaceSize << true;
    QTest::newRow("hover face 2x")
        << ":/pictures/command2@2x.gif" << 0 << QByteArray("gif") << kFaceSize * 2 << true;
    QTest::newRow("icon 32 x 32") << ":/icons/mensurel.ico" << 0 << QByteArray("ico")
                                  << QSize(32, 32) << false;
    QTest::newRow("icon 16 x 16") << ":/icons/mensurel.ico" << 1 << QByteArray("ico")
                                  << QSize(16, 16) << false;
    QTest::newRow("icon PNG 32 x 32")
        << ":/icons/mensurel-32.png" << 0 << QByteArray("png") << QSize(32, 32) << false;
    QTest::newRow("icon PNG 16 x 16")
        << ":/icons/mensurel-16.png" << 0 << QByteArray("png") << QSize(16, 16) << false;
}

// The GIF's transparent entry must come out with alpha 0 and every other
// pixel fully opaque; the icon has no transparent pixel.
void TestPictures::decoded()
{
    QFETCH(QString, path);
    QFETCH(int, index);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);

    QImageReader reader(path);
    QVERIFY2(reader.canRead(),
        qPrintable(QStringLiteral("%1 (is Qt's %2 image plug-in installed?)")
                .arg(reader.errorString(), QString::fromLatin1(format))));
    QCOMPARE(reader.format(), format);
    if (index > 0) QVERIFY(reader.jumpToImage(index));
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    int clear = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            QVERIFY2(alpha == 0 || alpha == 255,
                qPrintable(QStringLiteral("alpha %1 at %2,%3").arg(alpha).arg(x).arg(y)));
            clear += alpha == 0;
        }
    }
    QCOMPARE(clear > 0, transparent);
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

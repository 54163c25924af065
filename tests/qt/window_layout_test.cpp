// The window as built from its design tables: geometry at scale 1 and 2,
// texts, tooltips, fonts, pictures, window properties, focus order, stacking
// and the frames painted on the surface.
#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// The devicePixelRatio this run was started with (QT_SCALE_FACTOR).
qreal expectedScale()
{
    bool ok = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1.0;
}

// Transparent pixels compare equal whatever colour they hold.
QImage premultiplied(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<mensurel::qt::Window> form_;

    template<typename T = QWidget> T* control(const QString& name) const
    {
        return form_->findChild<T*>(name, Qt::FindDirectChildrenOnly);
    }

    bool showForm(bool active = false)
    {
        form_->show();
        if (!active) return QTest::qWaitForWindowExposed(form_.get());
        form_->activateWindow();
        return QTest::qWaitForWindowActive(form_.get());
    }

private slots:
    void init() { form_ = std::make_unique<mensurel::qt::Window>(); }
    void cleanup() { form_.reset(); }

    void controlGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        // Twips / 15, edges rounded to the nearest pixel.
        QTest::newRow("Command2 878,1560,2745,735") << "Command2" << QRect(59, 104, 183, 49);
        QTest::newRow("Command1 on the same rectangle") << "Command1" << QRect(59, 104, 183, 49);
        QTest::newRow("ums 2415,945,1455,330") << "ums" << QRect(161, 63, 97, 22);
        QTest::newRow("inchs 315,945,1455,330") << "inchs" << QRect(21, 63, 97, 22);
        QTest::newRow("mm 2400,360,1455,320") << "mm" << QRect(160, 24, 97, 21);
        QTest::newRow("mils 345,360,1455,320") << "mils" << QRect(23, 24, 97, 21);
        QTest::newRow("Label1, one row past the client area")
            << "Label1" << QRect(56, 160, 198, 17);
        QTest::newRow("Um 3990,1050,330,200") << "Um" << QRect(266, 70, 22, 13);
        QTest::newRow("Inch 1890,1050,435,195") << "Inch" << QRect(126, 70, 29, 13);
        QTest::newRow("metric 3960,435,375,255") << "metric" << QRect(264, 29, 25, 17);
        QTest::newRow("english 1905,435,375,255") << "english" << QRect(127, 29, 25, 17);
    }
    void controlGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QVERIFY(showForm());
        QCOMPARE(form_->devicePixelRatio(), expectedScale());
        QWidget* widget = control(name);
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->geometry(), pixels);
        QVERIFY(widget->isVisible() && widget->isEnabled());
    }

    void windowProperties()
    {
        QVERIFY(showForm());
        QCOMPARE(form_->windowTitle(), QStringLiteral("Mensurel"));
        QCOMPARE(form_->size(), QSize(300, 176));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint)
            && flags.testFlag(Qt::WindowCloseButtonHint));
        // An icon without both images means a missing resource or ICO plug-in.
        const QList<QSize> iconSizes = form_->windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
    }

    // Wholly on the screen along each way the client area fits; the window
    // manager's frame is allowed for in the screen's own pixels.
    void placedOnItsScreen()
    {
        const QRect available = form_->screen()->availableGeometry();
        const QRect placed = form_->geometry();
        if (placed.width() <= available.width())
            QVERIFY(placed.left() >= available.left() && placed.right() <= available.right());
        QVERIFY(placed.height() <= available.height());
        QVERIFY2(placed.top() >= available.top() && placed.bottom() <= available.bottom(),
            qPrintable(QStringLiteral("%1 to %2").arg(placed.top()).arg(placed.bottom())));
        if (available.contains(QRect(458, 382, 316, 216)))
            QCOMPARE(form_->geometry().topLeft(), QPoint(466, 414));
    }

    void fields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("unit"); // part of the accessible name
        QTest::newRow("mils") << "mils"
                              << "1.0000"
                              << "英制数据"
                              << "mil";
        QTest::newRow("mm") << "mm"
                            << "0.0254"
                            << "公制数据"
                            << "mm";
        QTest::newRow("inchs, three decimals") << "inchs"
                                               << "0.001"
                                               << "英制数据"
                                               << "inch";
        QTest::newRow("ums") << "ums"
                             << "25.4000"
                             << "公制数据"
                             << "µm";
    }
    void fields()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(QString, unit);
        auto* field = control<QLineEdit>(name);
        QVERIFY(field != nullptr);
        QCOMPARE(field->text(), text);
        QCOMPARE(field->toolTip(), toolTip);
        QVERIFY(!field->isReadOnly());
        QCOMPARE(field->font(), form_->font());
        QVERIFY2(field->accessibleName().contains(unit), qPrintable(field->accessibleName()));
        // The window's own font carries the tooltip's glyphs.
        for (const QChar ch : toolTip) QVERIFY(QFontMetrics(form_->font()).inFont(ch));
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption"); // empty: a notice text
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("english") << "english"
                                 << "Mil" << QString();
        QTest::newRow("metric") << "metric"
                                << "Mm" << QString();
        QTest::newRow("Inch") << "Inch"
                              << "Inch" << QString();
        QTest::newRow("Um") << "Um"
                            << "um" << QString();
        QTest::newRow("Label1, notice line in the window font")
            << "Label1" << QString() << "欢迎使用Brantovel开发的实用工具";
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        auto* label = control<QLabel>(name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->toolTip(), toolTip);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        const QFont font = label->font();
        if (caption.isEmpty()) {
            QVERIFY(label->text().startsWith(QStringLiteral("Brantovel (C) ")));
            QCOMPARE(font, form_->font());
            for (const QChar ch : toolTip) QVERIFY(QFontMetrics(font).inFont(ch));
        } else {
            QCOMPARE(label->text(), caption);
            QCOMPARE(font.family(), QStringLiteral("Arial"));
            QCOMPARE(font.pointSize(), 9);
            QCOMPARE(font.weight(), QFont::Bold);
            QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
            QVERIFY(QFontInfo(font).bold()); // a bold face was found for it
        }
        // The caption fits its label on one line.
        QVERIFY(QFontMetrics(font).horizontalAdvance(label->text()) <= label->width());
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("picture");
        QTest::newRow("Command2, hover face, names the site's host")
            << "Command2" << QStringLiteral("更多资讯请访问" EXPECTED_SITE_HOST)
            << ":/pictures/command2";
        QTest::newRow("Command1, normal face, no tooltip")
            << "Command1" << QString() << ":/pictures/command1";
    }
    void buttons()
    {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        QFETCH(QString, picture);
        QVERIFY(showForm());
        auto* button = control<QPushButton>(name);
        QVERIFY(button != nullptr);
        QCOMPARE(button->toolTip(), toolTip);
        QVERIFY(button->text().isEmpty() && !button->isFlat());
        QCOMPARE(button->iconSize(), QSize(175, 40));
        // At 200 % the face is the picture drawn at twice the size, not the
        // small one scaled up.
        const qreal scale = button->devicePixelRatio();
        const QString file = picture + (scale > 1.0 ? "@2x.gif" : ".gif");
        const QPixmap shown = button->icon().pixmap(button->iconSize(), scale);
        QCOMPARE(shown.size(), QSize(175, 40) * scale);
        QCOMPARE(premultiplied(shown.toImage()), premultiplied(QImage(file)));
    }

    void tabOrder_data()
    {
        QTest::addColumn<QString>("hidden"); // a button hidden before walking
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("design order, labels passed over")
            << QString()
            << QStringList { "mils", "mm", "inchs", "ums", "Command2", "Command1", "mils" };
        QTest::newRow("hidden Command2 passed over")
            << "Command2" << QStringList { "mils", "mm", "inchs", "ums", "Command1", "mils" };
    }
    void tabOrder()
    {
        QFETCH(QString, hidden);
        QFETCH(QStringList, walk);
        QVERIFY(showForm(true));
        if (!hidden.isEmpty()) control(hidden)->hide();
        QStringList walked { QApplication::focusWidget()->objectName() };
        while (walked.size() < walk.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, walk);
    }

    void stacking_data()
    {
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QString>("onTop"); // empty: the window surface
        QTest::newRow("both visible: Command2") << QStringList() << "Command2";
        QTest::newRow("Command2 hidden: Command1") << QStringList { "Command2" } << "Command1";
    }
    void stacking()
    {
        QFETCH(QStringList, hidden);
        QFETCH(QString, onTop);
        QVERIFY(showForm());
        for (const QString& name : hidden) control(name)->hide();
        const QPoint centre = form_->mapToGlobal(QRect(59, 104, 183, 49).center());
        QCOMPARE(QApplication::widgetAt(centre), onTop.isEmpty() ? form_.get() : control(onTop));
    }

    void framesOnSurface_data()
    {
        QTest::addColumn<QPoint>("at"); // device-independent pixels
        QTest::addColumn<bool>("green");
        QTest::newRow("Shape1 top-left corner") << QPoint(7, 8) << true;
        QTest::newRow("Shape1 line is two pixels wide") << QPoint(8, 9) << true;
        QTest::newRow("inside Shape1's line") << QPoint(9, 10) << false;
        QTest::newRow("Shape1 right line, outer pixel") << QPoint(295, 50) << true;
        QTest::newRow("right of Shape1") << QPoint(296, 50) << false;
        QTest::newRow("Shape1 bottom line, inner pixel") << QPoint(150, 98) << true;
        QTest::newRow("Shape2 top-left corner") << QPoint(14, 15) << true;
        QTest::newRow("inside Shape2, not filled") << QPoint(15, 16) << false;
        QTest::newRow("Shape2 right line beside the Mm label") << QPoint(288, 37) << true;
        QTest::newRow("Shape2 line is one pixel wide") << QPoint(287, 20) << false;
        QTest::newRow("Shape2 bottom line") << QPoint(150, 92) << true;
        QTest::newRow("bare surface in the 3D-face colour") << QPoint(2, 2) << false;
    }
    void framesOnSurface()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, green);
        QVERIFY(showForm());
        const QImage image = form_->grab().toImage();
        const int scale = qRound(image.devicePixelRatio());
        QCOMPARE(scale, qRound(expectedScale()));
        const QColor expected
            = green ? QColor(0, 144, 64) : form_->palette().color(QPalette::Button);
        for (int dy = 0; dy < scale; ++dy) {
            for (int dx = 0; dx < scale; ++dx) { // every device pixel of the logical one
                const QColor seen = image.pixelColor(at.x() * scale + dx, at.y() * scale + dy);
                QVERIFY2(seen.rgb() == expected.rgb(), qPrintable(seen.name()));
            }
        }
    }
};

int main(int argc, char* argv[])
{
    mensurel::qt::Application application(argc, argv);
    WindowLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_layout_test.moc"

#include "app/version.h"
#include "support/testmain.h"
#include "widgets/aboutdialog.h"
#include "widgets/commondialog.h"
#include "widgets/customtabwidget.h"
#include <QHoverEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QUrl>

namespace {
class Dialog : public CommonDialog
{
public:
    explicit Dialog(QWidget *parent = nullptr)
        : CommonDialog(parent)
    {
        resize(300, 200);
        setTitle(QStringLiteral("对话框"));
        setupFrame(new QWidget);
        setTitle(QStringLiteral("later")); // too late for the title bar
    }
};

void hoverTo(QWidget *widget, QPoint pos)
{
    QHoverEvent hover(QEvent::HoverMove, pos, pos);
    QApplication::sendEvent(widget, &hover);
}
} // namespace

class TestCommonDialog : public TestCase
{
    Q_OBJECT
private slots:
    void titleAndCloseButton()
    {
        Dialog dialog;
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("titleLabel"))->text(), QStringLiteral("对话框"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("later"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *close = dialog.findChild<QPushButton *>();
        QCOMPARE(close->accessibleName(), QStringLiteral("关闭"));
        close->click();
        QVERIFY(!dialog.isVisible());
        dialog.show(); // closed is not gone
        QVERIFY(dialog.isVisible());
    }

    void whiteBodyInAThinRoundedBorder()
    {
        Dialog dialog;
        for (const QSize size : {QSize(300, 200), QSize(520, 410)}) {
            dialog.resize(size);
            const QImage image = dialog.grab().toImage();
            const int w = size.width(), h = size.height();
            QCOMPARE(image.pixelColor(w / 2, h - 20), QColor(Qt::white)); // body below the title bar
            QCOMPARE(image.pixelColor(0, h / 2).alpha(), 0);               // the outermost ring
            const QColor border = image.pixelColor(1, h / 2);
            QVERIFY2(border.red() < 200 && border.alpha() > 0, qPrintable(border.name(QColor::HexArgb)));
            QCOMPARE(image.pixelColor(1, h - 2), QColor(Qt::white)); // the body corner outside the arc
        }
    }

    void theTitleBarDragsIt()
    {
        Dialog dialog;
        dialog.move(200, 150);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint start = dialog.pos();
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
            QTest::mousePress(&dialog, button, Qt::NoModifier, QPoint(50, 15));
            hoverTo(&dialog, QPoint(90, 45));
            QTest::mouseRelease(&dialog, button, Qt::NoModifier, QPoint(90, 45));
        }
        QTRY_COMPARE(dialog.pos(), start + QPoint(40, 30)); // the left drag only
        QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(50, 120)); // the content
        hoverTo(&dialog, QPoint(90, 160));
        QCOMPARE(dialog.pos(), start + QPoint(40, 30));
    }

    void aboutShowsTheBuildsVersion()
    {
        AboutDialog about(QUrl(QStringLiteral("https://portal.example.test/")));
        QStringList texts;
        for (QLabel *label : about.findChildren<QLabel *>())
            texts << label->text();
        QVERIFY2(texts.contains(QStringLiteral("当前版本v" KAVO_PROJECT_VERSION)), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("Kavo游戏盒子")));
        QVERIFY(texts.join('|').contains(QStringLiteral("https://portal.example.test/")));
        QCOMPARE(about.minimumSize(), about.maximumSize());
    }

    void leftTabsReadHorizontally()
    {
        CustomTabWidget tabs;
        tabs.addTab(new QWidget, QStringLiteral("常规设置"));
        tabs.addTab(new QWidget, QStringLiteral("快捷设置"));
        tabs.resize(380, 260);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QTabBar *bar = tabs.tabBar();
        const QRect tab = bar->tabRect(0);
        QVERIFY2(tab.width() > tab.height(), qPrintable(QStringLiteral("%1x%2").arg(tab.width()).arg(tab.height())));

        // The label's ink spreads wider than tall.
        const QImage image = bar->grab(tab).toImage();
        QRect ink;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 100)
                    ink |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(ink.width() > 2 * ink.height(), qPrintable(QStringLiteral("%1x%2").arg(ink.width()).arg(ink.height())));
    }
};
KAVO_TEST(TestCommonDialog)

#include "tst_commondialog.moc"

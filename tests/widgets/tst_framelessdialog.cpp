#include "core/version.h"
#include "support/lookup.h"
#include "support/testmain.h"
#include "widgets/aboutdialog.h"
#include "widgets/framelessdialog.h"
#include "widgets/sidetabwidget.h"
#include "widgets/loadingdialog.h"
#include <QMovie>
#include <QPushButton>
#include <QTabBar>
#include <QUrl>

// The frames the client's small dialogs draw for themselves.
class TestFramelessDialog : public TestCase
{
    Q_OBJECT
private slots:
    void titleCloseButtonAndRoundedWhiteBody()
    {
        FramelessDialog dialog;
        dialog.resize(300, 200);
        dialog.setupFrame(QStringLiteral("对话框"), new QWidget);
        QTest::ignoreMessage(QtWarningMsg, "the frame of 对话框 is already built");
        dialog.setupFrame(QStringLiteral("later"), new QWidget(&dialog));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("titleLabel"))->text(), QStringLiteral("对话框"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("对话框"));
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
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        childCalled<QPushButton>(&dialog, QStringLiteral("关闭"))->click();
        QVERIFY(!dialog.isVisible());
        dialog.show(); // closed is not gone
        QVERIFY(dialog.isVisible());
    }

    void loadingDialogNamesItselfAfterItsTip()
    {
        LoadingDialog dialog;
        auto *movie = dialog.findChild<QMovie *>();
        QCOMPARE(movie->state(), QMovie::NotRunning); // no animation behind a hidden dialog
        dialog.show();
        QCOMPARE(movie->state(), QMovie::Running);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setTips(QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("tips"))->text(), QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("下载中，请稍等"));
        // A white rounded body with a shadow on a transparent margin.
        const QImage image = dialog.grab().toImage();
        QCOMPARE(image.pixelColor(20, 200), QColor(Qt::white));
        QCOMPARE(image.pixelColor(2, 2).alpha(), 0);
        QVERIFY(image.pixelColor(10, 10) != QColor(Qt::white)); // cut by the rounded corner
        const QColor shadow = image.pixelColor(7, 125);
        QVERIFY(shadow.alpha() > 0 && shadow.blue() > shadow.red());
        dialog.close();
        QCOMPARE(movie->state(), QMovie::NotRunning);
    }

    void aboutShowsTheBuildsVersion()
    {
        AboutDialog about(QUrl(QStringLiteral("https://portal.example.test/")));
        QVERIFY(childWithText<QLabel>(&about, QStringLiteral("当前版本v" KAVO_PROJECT_VERSION)));
        QVERIFY(childWithText<QLabel>(&about, QStringLiteral("官方网站：https://portal.example.test/")));
    }

    void leftTabsReadHorizontally()
    {
        SideTabWidget tabs;
        tabs.addTab(new QWidget, QStringLiteral("常规设置"));
        tabs.addTab(new QWidget, QStringLiteral("快捷设置"));
        tabs.resize(380, 260);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        const QRect tab = tabs.tabBar()->tabRect(0);
        QVERIFY2(tab.width() > tab.height(), qPrintable(QStringLiteral("%1x%2").arg(tab.width()).arg(tab.height())));

        // The label's ink spreads wider than tall.
        const QImage image = tabs.tabBar()->grab(tab).toImage();
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
KAVO_TEST(TestFramelessDialog)

#include "tst_framelessdialog.moc"

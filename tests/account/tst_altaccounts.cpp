#include "account/altaccounttable.h"
#include "altaccountui.h"
#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "support/boxfixture.h"
#include "web/profiles.h"
#include "support/browsercatcher.h"
#include "support/testmain.h"
#include "web/gamepage.h"
#include "widgets/recyclinglistview.h"
#include <QToolButton>

class TestAltAccounts : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    QPointer<MainWindow> m_window;

    QWidget *pressXiaohao()
    {
        m_window->tabs()->widget(0)->findChild<QToolButton *>(QStringLiteral("xiaohaoButton"))->click();
        for (QWidget *shown : m_window->findChildren<FramelessDialog *>()) {
            if (shown->isVisible() && (qobject_cast<AltAccountDialog *>(shown) || qobject_cast<AltAccountTable *>(shown)))
                return shown;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.startPortal());
    }

    void init()
    {
        m_window = m_box.openWindow();
    }

    void cleanup()
    {
        m_box.closeWindows();
        QFile::remove(m_box.data.filePath(QStringLiteral("xiaohaoinfolist.txt")));
    }

    void theButtonAsksForAnAccountUntilOneIsStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("table");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty object") << QByteArray("{}") << false;
        QTest::newRow("empty list") << QByteArray("[]") << true;
        QTest::newRow("garbage") << QByteArray("not a list") << true;
    }

    void theButtonAsksForAnAccountUntilOneIsStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, table);
        if (!stored.isNull())
            m_box.data.write(QStringLiteral("xiaohaoinfolist.txt"), stored);
        if (stored == "not a list")
            QTest::ignoreMessage(QtWarningMsg, "xiaohaoinfolist.txt is not a JSON array; reading it as empty");
        QWidget *shown = pressXiaohao();
        QVERIFY(shown);
        QCOMPARE(bool(qobject_cast<AltAccountTable *>(shown)), table);
    }

    void aVerifiedAccountIsStoredAndStartsItsGame()
    {
        BrowserCatcher browser;
        auto *dialog = qobject_cast<AltAccountDialog *>(pressXiaohao());
        // A wrong password and a locked account each say so.
        QVERIFY(verify(dialog, QStringLiteral("kavo_alt1"), QStringLiteral("nope")));
        QTRY_COMPARE(errorLine(dialog), QStringLiteral("账号或密码错误"));
        QVERIFY(verify(dialog, QStringLiteral("locked_user"), QStringLiteral("locked123")));
        QTRY_COMPARE(errorLine(dialog), QStringLiteral("账号已锁定，请联系客服"));
        QTest::mousePress(registerLink(dialog), Qt::LeftButton);
        QCOMPARE(browser.urls.size(), 1);

        // Values that need encoding arrive whole; the check code is stored.
        QVERIFY(verify(dialog, QStringLiteral("玩家 a&b"), QStringLiteral("p&ss#1+2 %=中")));
        QTRY_VERIFY(m_window->findChild<AltAccountTable *>());
        QVERIFY(!dialog->isVisible() && errorLine(dialog).isEmpty());
        QVERIFY(dialog->findChildren<QLineEdit *>().at(1)->text().isEmpty()); // the password goes
        const QJsonObject stored = readAltAccountRecords().at(0).toObject();
        QCOMPARE(stored.value(QStringLiteral("username")).toString(), QStringLiteral("玩家 a&b"));
        QCOMPARE(stored.value(QStringLiteral("tag")).toString(), dialog->findChild<GameServerChooser *>()->currentGame().code);
        QVERIFY(!stored.contains(QStringLiteral("password")));

        // "开始游戏": the game as that account, accepted by the portal.
        auto *table = m_window->findChild<AltAccountTable *>();
        QTest::mousePress(registerLink(table), Qt::LeftButton);
        QCOMPARE(browser.urls.size(), 2);
        button(table, QStringLiteral("开始游戏"))->click();
        QTRY_COMPARE(m_window->tabs()->count(), 3);
        QCOMPARE(m_window->tabs()->currentIndex(), 2);
        // Told apart from the same game played as the user.
        QCOMPARE(m_window->tabs()->tabText(2),
                 TabWidget::literalTabText(stored.value(QStringLiteral("gamename")).toString() + QStringLiteral(" · 玩家 a&b")));
        const QString url = m_window->tabs()->page(2)->address().toString(QUrl::FullyEncoded);
        QVERIFY2(QRegularExpression(QStringLiteral("/entergame.php\\?game=\\w+&server=\\w+&boxSmall=%E7%8E%A9%E5%AE%B6%20a%26b"
                                                   "&ckcode=[0-9a-f]{32}&tobox=1$")).match(url).hasMatch(),
                 qPrintable(url));
        QTRY_VERIFY(m_box.portal.log().contains(QRegularExpression(QStringLiteral("GET /entergame.php\\S* 200"))));
        // In a profile of that account's own, which goes with the account
        // once its game has closed.
        GamePage *game = m_window->tabs()->page(2);
        QCOMPARE(game->profile(), m_box.profiles.forAccount(QStringLiteral("玩家 a&b")));
        QVERIFY(game->profile() != m_box.profiles.main());
        const QString folder = m_box.data.filePath(QStringLiteral("profiles/") + Profiles::folderName(QStringLiteral("玩家 a&b")));
        QVERIFY(QFileInfo::exists(folder));
        QVERIFY(m_window->tabs()->closeTab(2));
        table = qobject_cast<AltAccountTable *>(pressXiaohao());
        button(table, QStringLiteral("删除"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 30000);
        // For good, whatever the engine still writes as it lets go.
        QTest::qWait(1500);
        QVERIFY(!QFileInfo::exists(folder));
    }

    void deletingRemovesWhatTheRowShows()
    {
        writeAltAccountRecords({altAccountRecord(QStringLiteral("a")), altAccountRecord(QStringLiteral("b")), altAccountRecord(QStringLiteral("c"))});
        auto *table = qobject_cast<AltAccountTable *>(pressXiaohao());
        QCOMPARE(table->findChild<RecyclingListView *>()->model()->rowCount(), 3);
        button(table, QStringLiteral("删除"))->click();
        // Meanwhile another window stores an account: it survives.
        writeAltAccountRecords({altAccountRecord(QStringLiteral("new")), altAccountRecord(QStringLiteral("b")), altAccountRecord(QStringLiteral("c"))});
        button(table, QStringLiteral("删除"))->click();
        QCOMPARE(storedNames(), (QStringList{"new", "c"}));
        QVERIFY(table->isVisible());

        ReadOnlyFolder readOnly(m_box.data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("xiaohaoinfolist.txt not saved")));
        button(table, QStringLiteral("删除"))->click();
        QCOMPARE(table->findChild<RecyclingListView *>()->model()->rowCount(), 1);
        QCOMPARE(errorLine(table), QStringLiteral("删除失败，请稍后重试"));
    }

    void theLastRowLeavesAnEmptyListAndAddAsksForMore()
    {
        writeAltAccountRecords({altAccountRecord(QStringLiteral("a"))});
        QPointer<AltAccountTable> first = qobject_cast<AltAccountTable *>(pressXiaohao());
        QPointer<AltAccountTable> table = qobject_cast<AltAccountTable *>(pressXiaohao()); // replaces it
        QTRY_VERIFY(first.isNull());
        button(table, QStringLiteral("删除"))->click();
        QCOMPARE(m_box.data.read(QStringLiteral("xiaohaoinfolist.txt")), QByteArray("[]"));
        button(table, QStringLiteral("添加"))->click();
        QTRY_VERIFY(table.isNull());
        QVERIFY(m_window->findChild<AltAccountDialog *>() && m_window->findChild<AltAccountDialog *>()->isVisible());
    }
};
KAVO_TEST(TestAltAccounts)

#include "tst_altaccounts.moc"

#pragma once
#include "account/altaccountdialog.h"
#include "web/gameserverchooser.h"
#include "core/listfiles.h"
#include "support/lookup.h"
#include "support/records.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

inline QPushButton *button(QWidget *dialog, const QString &text, int which = 0)
{
    int seen = 0;
    for (QPushButton *candidate : dialog->findChildren<QPushButton *>()) {
        if (candidate->text() == text && candidate->isVisible() && seen++ == which)
            return candidate;
    }
    return nullptr;
}

inline QLabel *registerLink(QWidget *dialog)
{
    return childWithText<QLabel>(dialog, QStringLiteral("立即注册！"));
}

inline QStringList storedNames()
{
    QStringList names;
    for (const QJsonValue &record : readAltAccountRecords())
        names << record[QStringLiteral("username")].toString();
    return names;
}

// Fills the dialog in once its games and servers are there, and presses
// "确定", or Enter in the password field.
inline bool verify(AltAccountDialog *dialog, const QString &user, const QString &password, bool byEnter = false)
{
    auto *chooser = dialog->findChild<GameServerChooser *>();
    if (!QTest::qWaitFor([chooser] { return !chooser->currentServer().code.isEmpty(); }, 5000))
        return false;
    const QList<QLineEdit *> edits = dialog->findChildren<QLineEdit *>();
    edits.at(0)->setText(user);
    edits.at(1)->setText(password);
    if (byEnter)
        QTest::keyClick(edits.at(1), Qt::Key_Return);
    else
        button(dialog, QStringLiteral("确定"))->click();
    return true;
}

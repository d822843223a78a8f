#include "messageboxes.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

QSharedPointer<SeenMessageBox> answerNextMessageBox(const QString &button)
{
    auto seen = QSharedPointer<SeenMessageBox>::create();
    auto *poll = new QTimer(qApp);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, seen, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        seen->seen = true;
        seen->text = box->text();
        seen->title = box->windowTitle();
        seen->hasParent = box->parentWidget() != nullptr;
        seen->hasOwnIcon = !box->windowIcon().isNull()
            && box->windowIcon().cacheKey() != QApplication::windowIcon().cacheKey();
        if (button.isEmpty()) {
            box->close();
            return;
        }
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text().remove(QLatin1Char('&')) == button) {
                candidate->click();
                return;
            }
        }
        box->close(); // no such button: the test's check on the box will tell
    });
    poll->start();
    return seen;
}

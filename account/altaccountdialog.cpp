#include "altaccountdialog.h"
#include "core/logging.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "web/gameserverchooser.h"
#include "core/listfiles.h"
#include "core/portalapi.h"
#include "core/replyparsers.h"
#include "widgets/primarybutton.h"
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
const QString kEditStyle = QStringLiteral("border:1px solid gray;border-radius:3px;padding:3px 0px");

QHBoxLayout *row(const QList<QWidget *> &widgets, int spacing)
{
    auto *layout = new QHBoxLayout;
    layout->addStretch();
    for (int i = 0; i < widgets.size(); ++i) {
        if (i > 0)
            layout->addSpacing(spacing);
        layout->addWidget(widgets.at(i));
    }
    layout->addStretch();
    return layout;
}
} // namespace

AltAccountDialog::AltAccountDialog(PortalApi *api, QWidget *parent)
    : FramelessDialog(parent)
    , m_api(api)
{
    setFixedSize(430, 320);
    auto *content = new QWidget;
    errorLabel = new QLabel(content);
    errorLabel->setStyleSheet(QStringLiteral("color:red"));
    errorLabel->hide();
    accountEdit = new QLineEdit(content);
    accountEdit->setPlaceholderText(tr("请输入账号"));
    accountEdit->setStyleSheet(kEditStyle);
    passwordEdit = new QLineEdit(content);
    passwordEdit->setPlaceholderText(tr("请输入密码"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setStyleSheet(kEditStyle);
    for (QLineEdit *edit : {accountEdit, passwordEdit})
        edit->setMinimumWidth(210); // as wide as the game and server boxes
    m_chooser = new GameServerChooser(api, content);
    confirmButton = new PrimaryButton(content);
    confirmButton->setText(tr("确定"));
    confirmButton->setFixedSize(80, 25);
    connect(confirmButton, &QPushButton::clicked, this, &AltAccountDialog::verify);
    auto *noAccount = new QLabel(tr("没有小号?"), content);
    noAccount->setStyleSheet(QStringLiteral("color:gray"));
    registerLabel = new QLabel(tr("立即注册！"), content);
    registerLabel->setStyleSheet(QStringLiteral("color:blue"));
    registerLabel->setCursor(Qt::PointingHandCursor);
    registerLabel->installEventFilter(this);

    auto label = [content](const QString &text, QWidget *buddy) {
        auto *title = new QLabel(text, content);
        title->setBuddy(buddy);
        return title;
    };
    auto *layout = new QVBoxLayout(content);
    layout->addStretch();
    layout->addLayout(row({errorLabel}, 0));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("小号账号"), accountEdit), accountEdit}, 20));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("小号密码"), passwordEdit), passwordEdit}, 20));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("游戏区服"), m_chooser), m_chooser}, 10));
    layout->addSpacing(20);
    layout->addLayout(row({confirmButton, noAccount, registerLabel}, 10));
    layout->addStretch();

    setTitle(tr("小号"));
    setContentWidget(content);
    setupFrame(nullptr);
}

bool AltAccountDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == registerLabel && event->type() == QEvent::MouseButtonPress) {
        QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::Registration));
        return false;
    }
    return FramelessDialog::eventFilter(watched, event);
}

void AltAccountDialog::verify()
{
    // One check at a time: a second click would store the account twice.
    confirmButton->setEnabled(false);
    const QString username = accountEdit->text();
    const QUrl url = Endpoints::url(Endpoints::Address::LoginApi, {username, passwordEdit->text()});
    qCDebug(lcAccount).noquote() << "verifying alt account at" << Endpoints::urlForLog(url);
    m_api->get(url, this, [this, username](const PortalReply &reply) { verified(reply, username); });
}

void AltAccountDialog::verified(const PortalReply &reply, const QString &username)
{
    confirmButton->setEnabled(true);
    if (!reply.ok)
        return; // PortalApi has said why
    qCDebug(lcAccount).noquote() << "msg-data" << bridgeJsonForLog(QString::fromUtf8(reply.body));
    const Parsed<LoginReply> login = parseLoginReply(reply.body);
    if (!login.ok()) {
        qCWarning(lcAccount).noquote() << "alt-account login: unusable reply," << login.error;
        return;
    }
    if (!login.value.valid) {
        if (!login.value.locked)
            qCDebug(lcAccount) << "msg-error";
        showError(login.value.locked ? tr("账号已锁定，请联系客服") : tr("账号或密码错误"));
        return;
    }

    QJsonArray records = readAltAccountRecords();
    qCInfo(lcAccount) << "文件取出数据：" << records.size() << "alt accounts";
    const PortalChoice game = m_chooser->currentGame();
    const PortalChoice server = m_chooser->currentServer();
    records.append(QJsonObject{{QStringLiteral("ckcode"), login.value.ckcode},
                               {QStringLiteral("gamename"), game.name},
                               {QStringLiteral("server"), server.code},
                               {QStringLiteral("servername"), server.name},
                               {QStringLiteral("tag"), game.code},
                               {QStringLiteral("username"), username}});
    if (!writeAltAccountRecords(records)) {
        showError(tr("保存失败，请稍后重试"));
        return;
    }
    errorLabel->hide();
    passwordEdit->clear(); // the dialog is kept for the next account
    close();
    emit saved();
}

void AltAccountDialog::showError(const QString &text)
{
    errorLabel->setText(text);
    errorLabel->show();
}

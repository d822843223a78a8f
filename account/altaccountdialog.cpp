#include "altaccountdialog.h"
#include "core/logging.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "web/gameserverchooser.h"
#include "core/listfiles.h"
#include "core/portalapi.h"
#include "core/replyparsers.h"
#include "widgets/clickablelabel.h"
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
    m_errorLabel = new QLabel(content);
    m_errorLabel->setStyleSheet(QStringLiteral("color:red"));
    m_errorLabel->hide();
    m_accountEdit = new QLineEdit(content);
    m_accountEdit->setPlaceholderText(tr("请输入账号"));
    m_accountEdit->setStyleSheet(kEditStyle);
    m_passwordEdit = new QLineEdit(content);
    m_passwordEdit->setPlaceholderText(tr("请输入密码"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet(kEditStyle);
    for (QLineEdit *edit : {m_accountEdit, m_passwordEdit})
        edit->setMinimumWidth(210); // as wide as the game and server boxes
    m_chooser = new GameServerChooser(api, content);
    m_confirmButton = new PrimaryButton(content);
    m_confirmButton->setText(tr("确定"));
    m_confirmButton->setFixedSize(80, 25);
    connect(m_confirmButton, &QPushButton::clicked, this, &AltAccountDialog::verify);
    connect(m_chooser, &GameServerChooser::changed, this, &AltAccountDialog::followChooser);
    followChooser();
    // Enter in either field presses it (a disabled button, while a check is
    // under way, takes no press).
    for (QLineEdit *edit : {m_accountEdit, m_passwordEdit})
        connect(edit, &QLineEdit::returnPressed, m_confirmButton, &QAbstractButton::click);
    auto *noAccount = new QLabel(tr("没有小号?"), content);
    noAccount->setStyleSheet(QStringLiteral("color:gray"));
    auto *registerLabel = new ClickableLabel(content);
    registerLabel->setText(tr("立即注册！"));
    registerLabel->setStyleSheet(QStringLiteral("color:blue"));
    connect(registerLabel, &ClickableLabel::clicked, this,
            [] { QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::Registration)); });

    auto label = [content](const QString &text, QWidget *buddy) {
        auto *title = new QLabel(text, content);
        title->setBuddy(buddy);
        return title;
    };
    auto *layout = new QVBoxLayout(content);
    layout->addStretch();
    layout->addLayout(row({m_errorLabel}, 0));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("小号账号"), m_accountEdit), m_accountEdit}, 20));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("小号密码"), m_passwordEdit), m_passwordEdit}, 20));
    layout->addSpacing(20);
    layout->addLayout(row({label(tr("游戏区服"), m_chooser), m_chooser}, 10));
    layout->addSpacing(20);
    layout->addLayout(row({m_confirmButton, noAccount, registerLabel}, 10));
    layout->addStretch();

    setupFrame(tr("小号"), content);
}

void AltAccountDialog::followChooser()
{
    m_confirmButton->setEnabled(m_chooser->hasChoice() && !m_verifying);
    const QString problem = m_chooser->problem();
    if (!problem.isEmpty())
        showError(problem);
    else if (!m_chooserProblem.isEmpty() && m_errorLabel->text() == m_chooserProblem)
        m_errorLabel->hide();
    m_chooserProblem = problem;
}

void AltAccountDialog::verify()
{
    if (!m_chooser->hasChoice())
        return;
    // One check at a time: a second click would store the account twice.
    m_verifying = true;
    m_confirmButton->setEnabled(false);
    const QString username = m_accountEdit->text();
    const QUrl url = Endpoints::url(Endpoints::Address::LoginApi, {username, m_passwordEdit->text()});
    qCDebug(lcAccount).noquote() << "verifying alt account at" << Endpoints::urlForLog(url);
    m_api->get(url, this, [this, username](const PortalReply &reply) { verified(reply, username); });
}

void AltAccountDialog::verified(const PortalReply &reply, const QString &username)
{
    m_verifying = false;
    followChooser();
    if (!reply.ok) {
        showError(GameServerChooser::failureText(reply.status != 0)); // PortalApi has logged why
        return;
    }
    qCDebug(lcAccount).noquote() << "msg-data" << bridgeJsonForLog(QString::fromUtf8(reply.body));
    const Parsed<LoginReply> login = parseLoginReply(reply.body);
    if (!login.ok()) {
        qCWarning(lcAccount).noquote() << "alt-account login: unusable reply," << login.error;
        showError(GameServerChooser::failureText(true));
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
    m_errorLabel->hide();
    m_passwordEdit->clear(); // the dialog is kept for the next account
    close();
    emit saved();
}

void AltAccountDialog::showError(const QString &text)
{
    m_errorLabel->setText(text);
    m_errorLabel->show();
}

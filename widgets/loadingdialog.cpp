#include "loadingdialog.h"
#include "widgets/roundedbody.h"
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMovie>
#include <QPushButton>

LoadingDialog::LoadingDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(250, 250);

    frame = new QFrame(this);
    frame->setGeometry(10, 10, 230, 230);

    movie = new QMovie(QStringLiteral(":/img/loading"), QByteArray(), this);
    movie->setScaledSize(QSize(120, 120));
    movieLabel = new QLabel(frame);
    movieLabel->setGeometry(55, 10, 120, 120);
    movieLabel->setScaledContents(true);
    movieLabel->setMovie(movie);

    tipsLabel = new QLabel(frame);
    tipsLabel->setGeometry(5, 130, 220, 50);
    tipsLabel->setAlignment(Qt::AlignCenter);
    tipsLabel->setObjectName(QStringLiteral("tips"));
    tipsLabel->setStyleSheet(
        QStringLiteral("QLabel#tips{font-family:\"Microsoft YaHei\";font-size: 15px;color: #333333;}"));
    setTips(tr("加载中,请稍候..."));

    cancelBtn = new QPushButton(frame);
    cancelBtn->setObjectName(QStringLiteral("cancelBtn"));
    cancelBtn->setText(tr("取消等待"));
    cancelBtn->setStyleSheet(QStringLiteral(
        "QPushButton#cancelBtn{background-color: #edeef6;border-radius: 4px;font-family: \"Microsoft YaHei\";"
        "font-size: 14px;color: #333333;}QPushButton#cancelBtn::hover{background:#dcdeea}"));
    cancelBtn->setGeometry(25, 180, 180, 35);
    cancelBtn->setEnabled(true);
    connect(cancelBtn, &QPushButton::clicked, this, &LoadingDialog::cancelBtnClicked);
    cancelBtn->hide(); // no wait of this client can be cancelled

    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setOffset(0, 0);
    shadow->setColor(QColor(32, 101, 165, 255));
    shadow->setBlurRadius(10.0);
    setGraphicsEffect(shadow);
}

LoadingDialog::~LoadingDialog() = default;

void LoadingDialog::setTips(const QString &text)
{
    tipsLabel->setText(text);
    setWindowTitle(text);
}

QString LoadingDialog::tips() const
{
    return tipsLabel->text();
}

void LoadingDialog::cancelBtnClicked()
{
    emit cancelWaiting();
    done(-1);
}

// The one instance waits hidden for most of its life (the login window's
// lasts the whole login); its animation runs only while it is seen.
void LoadingDialog::showEvent(QShowEvent *event)
{
    movie->start();
    QDialog::showEvent(event);
}

void LoadingDialog::hideEvent(QHideEvent *event)
{
    movie->stop();
    QDialog::hideEvent(event);
}

void LoadingDialog::paintEvent(QPaintEvent *event)
{
    // The margin left around the body is where the shadow falls.
    paintRoundedBody(this, QRectF(9, 9, width() - 18, height() - 18), 8.0, Qt::white);
    QDialog::paintEvent(event);
}

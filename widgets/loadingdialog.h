#pragma once
#include <QDialog>

class QLabel;
class QMovie;

// A small floating wait indicator: white rounded body with a blue shadow, an
// animation and one line of text. Shown with show() and removed with close()
// by its user, who keeps the one instance for the next wait.
class LoadingDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LoadingDialog(QWidget *parent = nullptr);
    ~LoadingDialog() override;

    // Also names the window, so task switchers and screen readers read the
    // same text as the user.
    void setTips(const QString &text);
    QString tips() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMovie *m_movie = nullptr;
    QLabel *m_tips = nullptr;
};

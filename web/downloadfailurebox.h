#pragma once
#include "widgets/framelessdialog.h"

// A small box over the window a download was asked from: "下载失败：<file
// name>" and why, in plain words. While the engine can still resume a
// download that broke off, it offers "继续下载" beside "取消下载"; a box that
// goes without a resume (closed, or with its window) leaves its owner to give
// the download up. Deletes itself when closed.
class DownloadFailureBox : public FramelessDialog
{
    Q_OBJECT

public:
    DownloadFailureBox(const QString &fileName, const QString &reason, bool resumable, QWidget *window);

    bool isResumable() const { return m_resumable; }

signals:
    void resumeRequested();

private:
    bool m_resumable;
};

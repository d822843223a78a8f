#pragma once
#include "widgets/framelessdialog.h"

class QUrl;

// Product name, icon and version, and who makes it with the portal's address.
class AboutDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(const QUrl &website, QWidget *parent = nullptr);
};

#pragma once
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)      // "kavo.app"
Q_DECLARE_LOGGING_CATEGORY(lcCore)     // "kavo.core"
Q_DECLARE_LOGGING_CATEGORY(lcWeb)      // "kavo.web"
Q_DECLARE_LOGGING_CATEGORY(lcWebJs)    // "kavo.web.js": console messages of pages
Q_DECLARE_LOGGING_CATEGORY(lcAccount)  // "kavo.account"
Q_DECLARE_LOGGING_CATEGORY(lcReminder) // "kavo.reminder"
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)  // "kavo.widgets"

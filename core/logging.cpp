#include "logging.h"

Q_LOGGING_CATEGORY(lcApp, "kavo.app")
Q_LOGGING_CATEGORY(lcCore, "kavo.core")
Q_LOGGING_CATEGORY(lcWeb, "kavo.web")
Q_LOGGING_CATEGORY(lcWebJs, "kavo.web.js")
Q_LOGGING_CATEGORY(lcAccount, "kavo.account")
Q_LOGGING_CATEGORY(lcReminder, "kavo.reminder")
Q_LOGGING_CATEGORY(lcWidgets, "kavo.widgets")

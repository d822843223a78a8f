#include "settingskeys.h"
#include "core/logging.h"

namespace Settings {

QKeySequence hotkeyFromText(const QString &text, const QString &keyName)
{
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    // QKeySequence takes any word for a key it does not know rather than failing.
    for (int i = 0; i < sequence.count(); ++i) {
        if ((sequence[i] & ~Qt::KeyboardModifierMask) == Qt::Key_unknown) {
            qCWarning(lcCore).noquote() << "hotkey" << keyName << "is not a key sequence:" << text;
            return QKeySequence();
        }
    }
    return sequence;
}


} // namespace Settings

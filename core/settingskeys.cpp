#include "settingskeys.h"
#include "core/config.h"
#include "core/logging.h"

namespace Settings {

QKeySequence hotkeyFromText(const QString &text, const QString &keyName)
{
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    // QKeySequence takes any word for a key it does not know rather than failing.
    for (int i = 0; i < sequence.count(); ++i) {
        if ((sequence[i] & ~Qt::KeyboardModifierMask) == Qt::Key_unknown) {
            qCWarning(lcApp).noquote() << "hotkey" << keyName << "is not a key sequence:" << text;
            return QKeySequence();
        }
    }
    return sequence;
}

QKeySequence hotkey(const Key &key)
{
    return hotkeyFromText(Config().GetValue(key).toString(), key.keyName());
}

} // namespace Settings

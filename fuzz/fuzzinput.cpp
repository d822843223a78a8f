#include "fuzzinput.h"
#include "core/endpoints.h"
#include <QtGlobal>

namespace {
void discard(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(discard);
    Endpoints::loadHosts(QStringList());
    return 0;
}

BridgeMessage bridgeMessage(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const int newline = bytes.indexOf('\n');
    const int code = bytes.left(newline < 0 ? bytes.size() : newline).trimmed().toInt();
    const QString json = newline < 0 ? QString() : QString::fromUtf8(bytes.constData() + newline + 1, bytes.size() - newline - 1);
    return BridgeMessage::parse(code, QStringLiteral("fuzz"), json);
}

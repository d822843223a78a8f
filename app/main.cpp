#include "app/config.h"
#include "app/logging.h"
#include "app/resources.h"
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initResources();
    ensureHotkeyDefaults();

    // The login window is the next piece to arrive; until then the program
    // prepares its settings and leaves.
    qCInfo(lcApp) << "settings ready; no window to show yet";
    return 0;
}

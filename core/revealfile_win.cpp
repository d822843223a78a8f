#include "revealfile.h"
#include "core/logging.h"
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <objbase.h>
#include <shlobj.h>

void revealFile(const QString &path)
{
    // Explorer selects the file itself; no command line is built from the name.
    const std::wstring native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT shown = E_FAIL;
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathW(native.c_str())) {
        shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        ILFree(item);
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    if (SUCCEEDED(shown)) {
        qCInfo(lcApp).noquote() << "shown in the file manager:" << path;
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    qCInfo(lcApp).noquote() << "the file manager could not select the file; opening its folder:" << folder;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        qCWarning(lcApp).noquote() << "nothing here can show the folder" << folder;
}

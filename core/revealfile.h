#pragma once
#include <QString>

// Shows a saved file in the desktop's file manager, selected, without opening
// it and without ever going through a shell. Where no file manager answers,
// its folder opens instead; where nothing can, a warning names the folder.
// Returns at once: the file manager answers later.
void revealFile(const QString &path);

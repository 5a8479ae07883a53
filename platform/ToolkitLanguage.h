#pragma once
// The toolkit's own texts (the colour dialog, the edit fields' context menu, standard buttons)
// in German, from the Qt translations of the system (Debian: qt6-translations-l10n) or the ones
// the Windows copy carries. Without them those texts stay English and the program starts all
// the same.

#include <QString>

// Loads Qt's German translation from `folder` (empty: the folder "translations" beside the
// program, else Qt's own translations folder) and installs it for the whole program, once.
// False when the translation could not be loaded.
bool InstallToolkitTranslation(const QString& folder = QString());

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Qt's own texts (the fields' right-click menu, standard buttons) in French whatever the
// desktop's language, like every text of ours. Returns false when Qt's French translation
// (Debian: qt6-translations-l10n) is not installed; the texts then stay English.
bool installQtFrench(QCoreApplication &application);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "systemerror.h"

#include <QString>

// What the user reads about the files the programs read and write, in French, the path said
// once and the system's answer in French too.

// "Impossible de lire a.csv : fichier ou dossier introuvable."
QString fileReadFailureText(const QString &path, SystemError error);
// A file not written: nothing half-written is left, and a file already there is kept.
QString fileWriteFailureText(const QString &path, SystemError error);
// Outputs refused before anything is done.
QString outputIsAnInputText(const QString &path);
QString outputNotAFileText(const QString &path);

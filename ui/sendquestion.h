// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The one question before notes go to the board: a box titled "Tinkora" over parent, with
// details under the question when there are any, "Envoyer" (Enter) and "Annuler" (Échap).
// True only when the user chose "Envoyer".
bool askToSend(QWidget *parent, const QString &question, const QString &details = {});

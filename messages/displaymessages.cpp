// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaymessages.h"

QString noDisplayText()
{
    return QStringLiteral("aucun affichage : lancez Tinkora depuis une session graphique");
}

QString windowNotOpenedText()
{
    return QStringLiteral("tinkora : la fenêtre n'a pas pu s'ouvrir ; messages de Qt :");
}

QString displayLostText()
{
    return QStringLiteral("tinkora : l'affichage a disparu (session fermée, serveur X ou "
                          "compositeur arrêté), la fenêtre s'est fermée. Relancez Tinkora depuis "
                          "une session graphique.");
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundmessages.h"

QString noSoundServerText()
{
    return QStringLiteral("Aucun serveur de son ne répond (PulseAudio ou PipeWire) : démarrez le "
                          "son du bureau, ou écrivez la mélodie dans un fichier avec --wav.");
}

QString soundServerGoneText()
{
    return QStringLiteral("Le serveur de son (PulseAudio ou PipeWire) s'est arrêté : redémarrez "
                          "le son du bureau, ou écrivez la mélodie dans un fichier avec --wav.");
}

QString soundServerSilentText()
{
    return QStringLiteral("Le serveur de son (PulseAudio ou PipeWire) ne répond plus : le son n'a "
                          "pas pu être arrêté ; redémarrez le son du bureau.");
}

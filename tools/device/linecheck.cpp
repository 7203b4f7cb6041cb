// SPDX-License-Identifier: GPL-3.0-or-later
#include "linecheck.h"

namespace {

int baudOf(speed_t speed)
{
    struct Rate {
        speed_t speed;
        int baud;
    };
    static constexpr Rate kRates[] = {
        {B0, 0},         {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},
        {B150, 150},     {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},
        {B1800, 1800},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
        {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
    };
    for (const Rate &rate : kRates) {
        if (rate.speed == speed)
            return rate.baud;
    }
    return -1;
}

QString speedProblem(const QString &direction, speed_t speed)
{
    const int baud = baudOf(speed);
    return QStringLiteral("%1 à %2 bauds au lieu de 2400")
        .arg(direction, baud < 0 ? QStringLiteral("?") : QString::number(baud));
}

} // namespace

QStringList lineProblems(const termios &settings)
{
    QStringList found;
    if (cfgetospeed(&settings) != B2400)
        found << speedProblem(QStringLiteral("émission"), cfgetospeed(&settings));
    if (cfgetispeed(&settings) != B2400 && cfgetispeed(&settings) != B0)
        found << speedProblem(QStringLiteral("réception"), cfgetispeed(&settings));
    if ((settings.c_cflag & CSIZE) != CS8)
        found << QStringLiteral("pas 8 bits de données");
    if (settings.c_cflag & PARENB)
        found << QStringLiteral("parité active");
    if (settings.c_cflag & CSTOPB)
        found << QStringLiteral("2 bits d'arrêt");
    if (settings.c_oflag & OPOST)
        found << QStringLiteral("sortie transformée (OPOST : fins de ligne réécrites)");
    if (settings.c_cflag & CRTSCTS)
        found << QStringLiteral("contrôle de flux matériel (CRTSCTS)");
    if (settings.c_iflag & (IXON | IXOFF))
        found << QStringLiteral("contrôle de flux XON/XOFF");
    if (settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN))
        found << QStringLiteral("mode non brut (ICANON, ECHO, ISIG ou IEXTEN)");
    return found;
}

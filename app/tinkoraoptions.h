#pragma once

#include "options.h"

#include <array>

// The options of tinkora besides help and version: one entry each.
inline constexpr std::array<OptionSpec, 2> kTinkoraOptions{{
    {u"com1", u"PÉRIPHÉRIQUE", u"Périphérique de COM1 (par défaut /dev/ttyS0)."},
    {u"com2", u"PÉRIPHÉRIQUE", u"Périphérique de COM2 (par défaut /dev/ttyS1)."},
}};

inline constexpr QStringView kTinkoraDescription =
    u"Compose une mélodie note par note et la charge dans l'EEPROM d'une carte reliée à un port "
    u"série (2400 bauds, 8N1).";

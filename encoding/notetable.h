// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <array>
#include <optional>

struct NoteEntry {
    QStringView name;
    quint8 code; // 12 x (octave - 2) + position of the syllable in the octave
};

// Three chromatic octaves, in code order.
inline constexpr std::array<NoteEntry, 36> NoteTable{{
    {u"Do2", 1},   {u"Do#2", 2},  {u"Re2", 3},    {u"Mib2", 4},  {u"Mi2", 5},   {u"Fa2", 6},
    {u"Fa#2", 7},  {u"Sol2", 8},  {u"Sol#2", 9},  {u"La2", 10},  {u"Sib2", 11}, {u"Si2", 12},
    {u"Do3", 13},  {u"Do#3", 14}, {u"Re3", 15},   {u"Mib3", 16}, {u"Mi3", 17},  {u"Fa3", 18},
    {u"Fa#3", 19}, {u"Sol3", 20}, {u"Sol#3", 21}, {u"La3", 22},  {u"Sib3", 23}, {u"Si3", 24},
    {u"Do4", 25},  {u"Do#4", 26}, {u"Re4", 27},   {u"Mib4", 28}, {u"Mi4", 29},  {u"Fa4", 30},
    {u"Fa#4", 31}, {u"Sol4", 32}, {u"Sol#4", 33}, {u"La4", 34},  {u"Sib4", 35}, {u"Si4", 36},
}};

// Exact, case-sensitive match of the whole name; no parsing of syllable and octave.
std::optional<quint8> NoteCodeFor(QStringView name);

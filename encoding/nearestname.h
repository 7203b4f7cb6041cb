// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The one name of a list that a typed text most likely meant: the same letters once case and
// accents are set aside ("Ré3" for "Re3"), or else one letter added, dropped or changed. None
// when nothing is that close, or when two names are equally close ("Do5" is one letter from
// "Do2", "Do3" and "Do4"): a hint must never be a guess.
std::optional<QString> nearestName(QStringView typed, const std::vector<QStringView> &names);

// The same for a note, knowing that the list spells each black key one way only: "Re#3" (or
// "Ré#3") is the list's "Mib3", "Lab2" its "Sol#2".
std::optional<QString> nearestNoteName(QStringView typed);

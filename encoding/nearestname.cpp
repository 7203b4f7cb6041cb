// SPDX-License-Identifier: GPL-3.0-or-later
#include "nearestname.h"

#include "notetable.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Lower case with the accents taken off: "Pointée" and "pointee" fold the same.
QString folded(QStringView text)
{
    QString plain;
    for (const QChar c : text.toString().normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c.toCaseFolded();
    }
    return plain;
}

// Letters added, dropped or changed to go from one text to the other.
qsizetype editDistance(const QString &from, const QString &to)
{
    std::vector<qsizetype> previous(size_t(to.size()) + 1);
    std::iota(previous.begin(), previous.end(), qsizetype(0));
    std::vector<qsizetype> current(previous.size());
    for (qsizetype i = 0; i < from.size(); ++i) {
        current[0] = i + 1;
        for (qsizetype j = 0; j < to.size(); ++j) {
            const qsizetype changed = previous[size_t(j)] + (from[i] == to[j] ? 0 : 1);
            current[size_t(j) + 1] =
                std::min({previous[size_t(j) + 1] + 1, current[size_t(j)] + 1, changed});
        }
        std::swap(previous, current);
    }
    return previous.back();
}

} // namespace

std::optional<QString> nearestName(QStringView typed, const std::vector<QStringView> &names)
{
    constexpr qsizetype kFarthest = 1;
    // Beyond this a typed text is no near miss, and the distance table would only cost.
    constexpr qsizetype kLongestName = 64;
    if (typed.size() > kLongestName)
        return std::nullopt;
    const QString typedFolded = folded(typed);
    std::optional<QString> best;
    qsizetype bestDistance = kFarthest + 1;
    bool tied = false;
    for (const QStringView name : names) {
        const qsizetype distance = editDistance(typedFolded, folded(name));
        if (distance < bestDistance) {
            best = name.toString();
            bestDistance = distance;
            tied = false;
        } else if (distance == bestDistance) {
            tied = true;
        }
    }
    if (tied || bestDistance > kFarthest || best == typed)
        return std::nullopt;
    return best;
}

std::optional<QString> nearestNoteName(QStringView typed)
{
    struct Enharmonic {
        QStringView other; // folded, as typed
        QStringView listed;
    };
    static constexpr std::array<Enharmonic, 5> kOtherSpellings{{
        {u"re#", u"Mib"},
        {u"la#", u"Sib"},
        {u"reb", u"Do#"},
        {u"solb", u"Fa#"},
        {u"lab", u"Sol#"},
    }};
    const QString plain = folded(typed);
    for (const Enharmonic &spelling : kOtherSpellings) {
        const QStringView octave =
            QStringView(plain).sliced(std::min(plain.size(), spelling.other.size()));
        if (plain.startsWith(spelling.other) && octave.size() == 1) {
            const QString name = spelling.listed.toString().append(octave);
            if (NoteCodeFor(name))
                return name;
        }
    }
    std::vector<QStringView> names;
    for (const NoteEntry &entry : NoteTable)
        names.push_back(entry.name);
    return nearestName(typed, names);
}

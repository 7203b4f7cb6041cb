// SPDX-License-Identifier: GPL-3.0-or-later
#include "melodyreader.h"

#include "melodyfile.h"
#include "rtttlreader.h"
#include "tablereader.h"

MelodyFileReading MelodyReader::read(const QString &path, const MelodyReadOptions &options)
{
    const MelodyFile::Text text = MelodyFile::read(path);
    if (!text.ok())
        return {text.problem, {}};
    if (MelodyFile::formatOf(path, text.text) == MelodyFormat::Rtttl)
        return {{}, RtttlReader::read(text.text, options.skipRests)};
    return {{}, TableReader::read(text.text)};
}

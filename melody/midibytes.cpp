// SPDX-License-Identifier: GPL-3.0-or-later
#include "midibytes.h"

MidiBytes::MidiBytes(QByteArrayView bytes, qsizetype at, qsizetype end)
    : m_bytes(bytes)
    , m_at(at)
    , m_end(end)
{
}

void MidiBytes::fail(qsizetype offset, const QString &what)
{
    if (!failed())
        m_problem = garbledAt(offset, what);
}

std::optional<quint8> MidiBytes::byte()
{
    if (failed())
        return std::nullopt;
    if (m_at >= m_end) {
        // Past the chunk's end within the file is a wrong length; past the file, a cut.
        m_problem = m_end >= m_bytes.size()
                        ? truncatedAt(m_bytes.size())
                        : garbledAt(m_end, QStringLiteral("un événement dépasse la fin de "
                                                          "sa piste"));
        return std::nullopt;
    }
    return quint8(m_bytes[m_at++]);
}

std::optional<quint32> MidiBytes::bigEndian(int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i) {
        const std::optional<quint8> next = byte();
        if (!next)
            return std::nullopt;
        value = value << 8 | *next;
    }
    return value;
}

std::optional<quint32> MidiBytes::quantity()
{
    const qsizetype start = m_at;
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::optional<quint8> next = byte();
        if (!next)
            return std::nullopt;
        value = value << 7 | (*next & 0x7F);
        if (!(*next & 0x80))
            return value;
    }
    fail(start, QStringLiteral("nombre de plus de 4 octets"));
    return std::nullopt;
}

QByteArrayView MidiBytes::take(quint32 count)
{
    if (failed())
        return {};
    if (qsizetype(count) > m_end - m_at) {
        m_at = m_end;
        (void)byte(); // says why
        return {};
    }
    const QByteArrayView data = m_bytes.sliced(m_at, count);
    m_at += count;
    return data;
}

QString MidiBytes::truncatedAt(qsizetype offset)
{
    return QStringLiteral("Fichier MIDI tronqué : il s'arrête à l'octet %1 au milieu d'un "
                          "bloc. Procurez-vous le fichier complet.")
        .arg(offset);
}

QString MidiBytes::garbledAt(qsizetype offset, const QString &what)
{
    return QStringLiteral("Fichier MIDI abîmé à l'octet %1 : %2. Enregistrez-le de nouveau "
                          "depuis votre logiciel de musique.")
        .arg(QString::number(offset), what);
}

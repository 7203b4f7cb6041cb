// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicelink.h"
#include "devicesound.h"
#include "filemessages.h"
#include "files.h"
#include "melodyrenderer.h"
#include "options.h"
#include "processstart.h"
#include "pseudodevice.h"
#include "quitsignals.h"
#include "stopawareoutput.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

// Each file written is said once, with what it holds.
bool writeFile(const QString &path, const QByteArray &data, QStringView what, QTextStream &out,
               QTextStream &err)
{
    if (checkOutput(path, {}) == OutputCheck::Discarded)
        return true;
    const SystemError error = saveFile(path, data);
    if (error == SystemError::None) {
        out << what << " écrite dans " << path << "." << Qt::endl;
        return true;
    }
    err << "tinkora-device : " << fileWriteFailureText(path, error) << Qt::endl;
    return false;
}

// Before the board starts: a file that cannot be an output is said now, not after the melody.
bool outputsUsable(const QStringList &paths, QTextStream &err)
{
    for (const QString &path : paths) {
        if (checkOutput(path, {}) == OutputCheck::NotARegularFile) {
            err << "tinkora-device : " << outputNotAFileText(path) << Qt::endl;
            return false;
        }
    }
    return true;
}

void printMelody(const EepromImage &image, QTextStream &out)
{
    const std::vector<EepromImage::Slot> melody = image.melody();
    out << Qt::endl
        << "Mélodie en EEPROM (" << melody.size() << (melody.size() > 1 ? " notes" : " note")
        << ") :" << Qt::endl;
    out << "  N°  Adresse  Note    Durée" << Qt::endl;
    for (const EepromImage::Slot &slot : melody) {
        out << qSetFieldWidth(4) << Qt::right << slot.slot << qSetFieldWidth(0) << "  "
            << qSetFieldWidth(7) << slot.address << qSetFieldWidth(0) << "  " << qSetFieldWidth(6)
            << Qt::left << noteName(slot.noteCode) << qSetFieldWidth(0) << "  " << slot.durationByte
            << " (" << formatSeconds(durationUnits(slot.durationByte)) << ")" << Qt::endl;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    prepareProcess();
    const Options options(
        QStringLiteral("tinkora-device"),
        QStringLiteral(
            "Joue la carte au bout de la ligne série, sur un pseudo-terminal : affiche chaque "
            "trame reçue (adresse, code de note, durée), tient l'image de l'EEPROM de 64 octets, "
            "reste à l'écoute quand l'émetteur ferme puis rouvre le port et, sur Ctrl-C, affiche "
            "la mélodie.\n\n"
            "Modèle supposé : une unité de durée vaut 10 ms («\u00a0Noire\u00a0» au tempo 60 donne "
            "100, une "
            "seconde) ; 253, 254 et 255 valent 266, 300 et 400 unités. Hauteur : gamme tempérée, "
            "«\u00a0La3\u00a0» (code 22) à 440 Hz ; le code 0 est un silence."),
        {
            OptionSpec::text(QStringLiteral("link"), QStringLiteral("CHEMIN"),
                             QStringLiteral("Crée ce lien symbolique vers le périphérique (sans "
                                            "jamais remplacer un fichier existant).")),
            OptionSpec::text(QStringLiteral("eeprom"), QStringLiteral("FICHIER"),
                             QStringLiteral("Écrit l'image EEPROM (64 octets) à la fin.")),
            OptionSpec::text(QStringLiteral("wav"), QStringLiteral("FICHIER"),
                             QStringLiteral("Écrit la mélodie jouée (WAV 16 bits mono 44,1 kHz) "
                                            "à la fin.")),
            OptionSpec::flag(QStringLiteral("scripted"),
                             QStringLiteral("Pour un script qui lance lui-même tinkora et arrête "
                                            "la carte : ne dit pas de le faire.")),
            OptionSpec::flag(QStringLiteral("play"),
                             QStringLiteral("Fait entendre chaque note dès que sa trame est "
                                            "arrivée, sur le son du bureau (PulseAudio ou "
                                            "PipeWire).")),
            OptionSpec::choice(QStringLiteral("tone"),
                               {QStringLiteral("square"), QStringLiteral("sine")},
                               QStringLiteral("Timbre de --play et --wav : carré comme le buzzer "
                                              "de la carte (par défaut) ou sinusoïdal."),
                               QStringLiteral("square")),
        });
    const ParsedOptions parsed = options.parse(argc, argv);
    if (const std::optional<int> exitCode = options.reply(parsed, QStringLiteral(TINKORA_VERSION)))
        return *exitCode;
    QCoreApplication app(argc, argv);

    // Before the link exists, so that a stop request always finds it to remove.
    const int stopDescriptor = quitSignalDescriptor();
    if (stopDescriptor < 0)
        return 1;

    // A reader that stops reading never keeps the board from stopping and saving its files.
    StopAwareOutput standardOutput(fileno(stdout), stopDescriptor);
    StopAwareOutput standardError(fileno(stderr), stopDescriptor);
    QTextStream out(&standardOutput);
    QTextStream err(&standardError);
    QStringList outputs;
    for (const QString &option : {QStringLiteral("eeprom"), QStringLiteral("wav")}) {
        if (parsed.isSet(option))
            outputs << parsed.value(option);
    }
    if (!outputsUsable(outputs, err))
        return 1;

    const Tone tone = parsed.value(QStringLiteral("tone")) == u"sine" ? Tone::Sine : Tone::Square;
    // Started by a script that runs the window and stops the board itself: no advice to do
    // either.
    const bool scripted = parsed.isSet(QStringLiteral("scripted"));
    PseudoDevice device(out, scripted ? PseudoDevice::Stop::ByCaller : PseudoDevice::Stop::ByUser);
    QString error;
    if (!device.open(error)) {
        err << "Impossible de créer le pseudo-terminal : " << error << Qt::endl;
        return 1;
    }

    const QString linkPath = parsed.value(QStringLiteral("link"));
    DeviceLink deviceLink;
    if (!linkPath.isEmpty() && !deviceLink.make(device.devicePath(), linkPath, error)) {
        err << "tinkora-device : " << error << Qt::endl;
        return 1;
    }
    const QString port = linkPath.isEmpty() ? device.devicePath() : linkPath;
    if (scripted)
        out << "Carte simulée sur " << port << "." << Qt::endl;
    else
        out << "Carte simulée sur " << device.devicePath() << " : lancez tinkora --com1 " << port
            << Qt::endl;

    std::unique_ptr<DeviceSound> sound;
    if (parsed.isSet(QStringLiteral("play"))) {
        sound = std::make_unique<DeviceSound>(tone, err);
        sound->start();
        device.setSound(*sound);
    }
    device.run(stopDescriptor);

    printMelody(device.image(), out);
    if (device.strayBytes() == 1)
        out << "1 octet en trop après la dernière trame complète." << Qt::endl;
    else if (device.strayBytes() > 1)
        out << device.strayBytes() << " octets en trop après la dernière trame complète."
            << Qt::endl;
    bool written = true;
    if (device.frameCount() == 0) {
        // A run that received nothing keeps what an earlier one wrote.
        for (const QString &path : std::as_const(outputs))
            out << "Aucune trame reçue : " << path << " reste tel quel." << Qt::endl;
    } else {
        if (parsed.isSet(QStringLiteral("eeprom")))
            written &= writeFile(parsed.value(QStringLiteral("eeprom")), device.image().bytes(),
                                 u"Image EEPROM", out, err);
        if (parsed.isSet(QStringLiteral("wav")))
            written &= writeFile(parsed.value(QStringLiteral("wav")),
                                 MelodyRenderer::render(device.image().melody(), tone),
                                 u"Mélodie jouée", out, err);
    }
    deviceLink.remove();
    return written ? 0 : 1;
}

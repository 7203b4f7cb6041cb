// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibletexts.h"

#include "portmessages.h"
#include "transferstate.h"

#include <QComboBox>
#include <QLineEdit>

void setAccessibleTexts(QWidget &window)
{
    const struct {
        QString control;
        QString name;
        QString description;
    } controls[] = {
        {QStringLiteral("Text1"), QStringLiteral("Numéro de note"),
         QStringLiteral("Numéro de la dernière note transférée.")},
        {QStringLiteral("Text2"), QStringLiteral("Adresse EEPROM"),
         QStringLiteral("Adresse EEPROM de la dernière note transférée.")},
        {QStringLiteral("Option1"), portName(1), {}},
        {QStringLiteral("Option2"), portName(2), {}},
        {QStringLiteral("tempo"), QStringLiteral("Tempo"),
         QStringLiteral("Tempo en noires par minute : choisissez-le dans la liste ou tapez-le.")},
        {QStringLiteral("duree"), QStringLiteral("Durée"),
         QStringLiteral("Valeur de la note, de la ronde à la double croche.")},
        {QStringLiteral("notes"), QStringLiteral("Notes"),
         QStringLiteral("Hauteur de la note, de Do2 à Si4.")},
        {QStringLiteral("Command2"), QStringLiteral("Transfert"),
         QStringLiteral("Transfère la note à l'emplacement courant de l'EEPROM, puis passe au "
                        "suivant (%1 emplacements).")
             .arg(int(TransferState::MaxNotes))},
    };
    for (const auto &[name, accessibleName, description] : controls) {
        auto *control = window.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(control); // a renamed control
        if (!control)
            continue;
        control->setAccessibleName(accessibleName);
        control->setAccessibleDescription(description);
        if (auto *list = qobject_cast<QComboBox *>(control)) // its field is announced on its own
            list->lineEdit()->setAccessibleName(accessibleName);
    }
}

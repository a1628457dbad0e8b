// The wizard's texts as the user must see them, written out here in UTF-16
// (independently of the program's 8-bit literals), in text-table order.
#pragma once

#include <array>
#include <string>

#include "wizard/text_table.h"

namespace tw::wizard {

inline const std::array<std::u16string, kTextCount> kEnglish = {
    u"Cancel",
    u"Select the port type for the communication with the machine",
    u">   Deleting the current driver ...",
    u">   Firmware update ...",
    u">   Initializing installation ...",
    u">   Driver installation ...",
    u"Next",
    u"Other",
    u">   Connect the machine to the port, switch it on",
    u">   Click Next to select the port for the communication with the machine",
    u">   Switch off the machine",
    u">   Switch on the machine",
};

inline const std::array<std::u16string, kTextCount> kFrench = {
    u"Annuler",
    u"S\u00E9lectionner le type de port pour la communication avec la machine",
    u">   Suppression du driver courant ...",
    u">   Mise \u00E0 jour du firmware ...",
    u">   Pr\u00E9paration de l'installation ...",
    u">   Installation du driver ...",
    u"Suivant",
    u"Autre",
    u">   Connecter la machine sur le port, la mettre sous tension",
    u">   Cliquer sur Suivant pour s\u00E9lectionner le port pour la communication avec la "
    u"machine",
    u">   Mettre la machine hors tension",
    u">   Mettre la machine sous tension",
};

}  // namespace tw::wizard

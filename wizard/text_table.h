// The wizard's twelve texts in English and French, as the 8-bit
// Windows-1252 literals the program carries; the dialog widens them with the
// system's ANSI code page when it fills its text table.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tw::wizard {

// Entries of the text table, in table order.
enum TextEntry : std::size_t {
    TextCancel,
    TextSelectPortType,
    TextDeleting,
    TextFirmwareUpdate,
    TextInitializing,
    TextDriverInstallation,
    TextNext,
    TextOther,
    TextConnect,
    TextClickNext,
    TextSwitchOff,
    TextSwitchOn,
};
inline constexpr std::size_t kTextCount = 12;

struct TextLiterals {
    std::string_view english;
    std::string_view french;
};

// Indexed by TextEntry. French letters are Windows-1252 bytes (0xE9 is e
// acute, 0xE0 a grave).
inline constexpr std::array<TextLiterals, kTextCount> kTextLiterals{{
    {"Cancel", "Annuler"},
    {"Select the port type for the communication with the machine",
     "S\xE9lectionner le type de port pour la communication avec la machine"},
    {">   Deleting the current driver ...", ">   Suppression du driver courant ..."},
    {">   Firmware update ...", ">   Mise \xE0 jour du firmware ..."},
    {">   Initializing installation ...", ">   Pr\xE9paration de l'installation ..."},
    {">   Driver installation ...", ">   Installation du driver ..."},
    {"Next", "Suivant"},
    {"Other", "Autre"},
    {">   Connect the machine to the port, switch it on",
     ">   Connecter la machine sur le port, la mettre sous tension"},
    {">   Click Next to select the port for the communication with the machine",
     ">   Cliquer sur Suivant pour s\xE9lectionner le port pour la communication avec la "
     "machine"},
    {">   Switch off the machine", ">   Mettre la machine hors tension"},
    {">   Switch on the machine", ">   Mettre la machine sous tension"},
}};

}  // namespace tw::wizard

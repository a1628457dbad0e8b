// A picture of the wizard's dialog as text, as the user sees it at a moment:
// the caption, the group box, the radio buttons with their marks, the labels
// (wrapped as a static control wraps them) and the buttons. Controls stand
// where their template puts them, at three dialog units a column and nine
// and a half a row; a greyed or disabled control is marked with a "~" just
// before it.
#pragma once

#include <string>
#include <vector>

#include "sim/dialog_window.h"

namespace tw::tarnwell_sim {

// The picture's lines, in UTF-8; none for a dialog that is not shown.
std::vector<std::string> DialogPicture(const sim::DialogWindow& dialog);

}  // namespace tw::tarnwell_sim

#pragma once

#include <QtGlobal>

namespace quillo {

class Form;

// The writing sheet's key-down handler: runs at most one command for the
// key, looking only at the Alt bit of the modifier mask. A command that fails
// stops there, keeps what it changed, and says why on stderr. Each command
// is handed only what it uses, picked out of the form here.
void scrivo_KeyDown(Form& form, qint16 keyCode, qint16 shift);

}  // namespace quillo

#pragma once

namespace quillo {

class Form;

// Prepares the window before it is first shown: binds the picture list to the
// pictures folder, seeds the random numbers, stretches the writing sheet to
// the screen and shapes the outlines. Throws Failure when the pictures folder
// is missing.
void Form_Load(Form& form);

}  // namespace quillo

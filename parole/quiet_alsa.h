#pragma once

namespace quillo::parole {

// Keeps the ALSA library's own error lines ("ALSA lib pcm.c:… Unknown PCM
// default") off stderr. SDL tries ALSA when there is no sound server, and
// on a machine without sound cards every try prints a few lines that a
// parent would take for a fault; the window and the command line say in
// their own words what is missing. Call it before the audio system starts;
// it does nothing where the library is not installed.
void quietAlsa();

}  // namespace quillo::parole

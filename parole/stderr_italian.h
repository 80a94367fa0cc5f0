#pragma once

namespace quillo::parole {

// What the shared code says on stderr (a folder of the library left out, no
// sound), said in Italian and as quillo-parole's own lines
// ("quillo-parole: …/immagini: non si usa, non è una cartella"), like every
// other line of this program. Call it once the application object exists.
void sayLogInItalian();

}  // namespace quillo::parole

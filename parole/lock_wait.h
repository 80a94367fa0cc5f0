#pragma once

#include "library_lock.h"

#include <QString>

#include <memory>

class QWidget;

namespace quillo::parole {

// Takes the library's lock for a change made from the window. While another
// change holds it, a small dialog says so ("Aspetto che finisca l'altro
// salvataggio…") with a button to give up, and the window keeps repainting;
// after LibraryLock::kWaitMs it gives up by itself. Null, with the reason in
// *problem, when the lock was not taken.
std::unique_ptr<LibraryLock> waitForLibrary(QWidget* parent, const QString& userLibrary, QString* problem,
                                            int waitMs = LibraryLock::kWaitMs);

}  // namespace quillo::parole

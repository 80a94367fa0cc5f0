#pragma once

#include "recording.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillo::parole {

// The two libraries Quillo reads: the bundled one beside the program, never
// written here, and the family's own, where every change goes.
struct Libraries {
    QString bundled;  // media folder beside the program
    QString user;     // $XDG_DATA_HOME/quillo
    // Both alfabeto/ folders, the user's first.
    QStringList letterFolders() const;
    static Libraries installed();
};

// One word of the list: the picture and recording Quillo would use for it.
struct WordEntry {
    QString word;
    QString picture;    // path of the picture that counts, the user's first
    QString recording;  // path of the word's recording, empty when it has none
    bool own = false;        // the picture is the family's
    bool bundled = false;    // the bundled library has the word too
};

// Every word of both libraries, sorted as Quillo sorts them. A word of the
// user's takes the place of the bundled one of the same name (letter case
// aside).
QList<WordEntry> listWords(const Libraries& libraries);

// Adds a word to the user's library, or replaces it there: writes the
// recording to parole/WORD.wav and the picture to immagini/ (the old picture
// of the same word with another extension goes), each written beside its
// name and renamed over it. `picture` may be null for a word that either
// library has already, `recording` empty to keep the recording it has.
// An empty string on success, else why not, in Italian.
QString addWord(const Libraries& libraries, const QString& word, const QImage& picture, const Recording& recording);

// Records a key's letter into the user's alfabeto/.
QString saveLetter(const Libraries& libraries, const QString& letter, const Recording& recording);

// Removes a word of the user's, its picture and its recording together. A
// bundled word is never removed: the bundled one comes back in its place.
QString removeWord(const Libraries& libraries, const QString& word);

}  // namespace quillo::parole

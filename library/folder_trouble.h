#pragma once

#include <QString>

namespace quillo {

// Why a folder of a library cannot be used. A missing folder is no fault of
// the library (it may simply not have one): kind Missing, said nowhere.
struct FolderTrouble {
    enum Kind { None, Missing, NotAFolder, Unreadable, Loop, Other };
    Kind kind = None;
    QString path;    // the path at fault: the folder, or the folder above it that fails
    QString detail;  // the system's words for Unreadable and Other
    bool usable() const { return kind == None; }
    bool faulty() const { return kind != None && kind != Missing; }
    QString english() const;  // "it is not a folder", ...
    QString italian() const;  // "non è una cartella", ...
};
// Looks afresh: a folder that appears or is mended counts at once.
FolderTrouble folderTrouble(const QString& folder);
// folderTrouble, with a fault said once a run on stderr for the path at
// fault ("PATH: left out, it is not a folder"), so that a fault shared by
// several folders below it is said once for all.
FolderTrouble troubleSaid(const QString& folder);
inline bool usableOrSaid(const QString& folder) { return troubleSaid(folder).usable(); }

}  // namespace quillo

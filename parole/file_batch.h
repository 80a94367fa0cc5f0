#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace quillo::parole {

// The files of one change, which land together or not at all. Each new file
// is written first beside its place under a hidden name (".NAME.XXXXXX",
// which no program of Quillo's lists) and synced; commit() then puts every
// one in its place and takes away the files to remove. When a step fails,
// the steps before it are undone, each replaced or removed file given back
// as it was, and the reason is said in Italian. With a journal, a change cut
// short by a crash (a kill, a power cut) is undone by the next change that
// calls undoUnfinished() with the same journal.
class FileBatch {
public:
    // `journal`: a file beside the files changed, or empty for none.
    explicit FileBatch(const QString& journal = {});
    ~FileBatch();  // removes the files written and not committed
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Writes the file that is to take the place of `path`, making its folder
    // when missing. False, with problem(), when it cannot be written.
    bool write(const QString& path, const QByteArray& bytes);
    // `path` goes at the commit, when it is there.
    void remove(const QString& path);
    bool commit();
    QString problem() const { return problem_; }

    // Undoes a change that was cut short, as its journal tells.
    static void undoUnfinished(const QString& journal);
    // Removes the hidden files of changes cut short in `folder`, older than
    // `seconds`. Only while holding the library, where no change runs.
    static void removeLeftovers(const QString& folder, int seconds);

    // For tests: the error number with which putting a file in place of
    // `target` fails, or 0. An empty function for none.
    static void setFaultForTests(std::function<int(const QByteArray& target)> fault);

private:
    struct Step {
        QByteArray target;
        QByteArray temporary;  // empty for a removal
        QByteArray backup;     // the old file, set aside; empty when none
        bool done = false;
    };
    bool fail(const QString& what, const QByteArray& path, int number);
    bool writeJournal();
    void undo();
    void forget();

    QByteArray journal_;
    std::vector<Step> steps_;
    std::vector<QByteArray> made_;  // folders made for the change
    QString problem_;
};

// Makes a folder and those above it, by their own bytes (a name that is not
// UTF-8 cannot go through QDir), adding those it made to *made. Something
// other than a folder in the way fails with ENOTDIR in errno.
bool makeFolders(const QByteArray& folder, std::vector<QByteArray>* made = nullptr);

}  // namespace quillo::parole

#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillo::parole {

// One option of the command line: --NAME, with a value (--NAME VALUE or
// --NAME=VALUE) or without.
struct OptionRule {
    QString name;
    bool takesValue = false;
};

// The command line as read: the words that are not options, in order, and
// each option given with its value (empty for one without).
struct Arguments {
    QStringList words;
    QHash<QString, QString> options;

    bool has(const QString& name) const { return options.contains(name); }
    QString value(const QString& name) const { return options.value(name); }
};

// Reads `arguments` (without the program's name) by `rules`. "-h" stands
// for "--help"; after "--" every argument is a word. An empty string when
// they read cleanly, else why not, as one Italian sentence: an option that
// is not known, written with one dash, repeated, missing its value or given
// one it does not take.
QString readArguments(const QStringList& arguments, const QList<OptionRule>& rules, Arguments* read);

}  // namespace quillo::parole

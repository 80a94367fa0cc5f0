#pragma once

#include <QString>
#include <QStringList>

#include <utility>

namespace quillo::check {

// A name as it may be printed on one line: control characters, and bytes
// that are not UTF-8, spelled out as \xNN.
QString shown(const QString& name);

// Why a name would be impossible (or a trap) on another system: two lists,
// Italian and English, empty when it is fine.
std::pair<QStringList, QStringList> nameTroubles(const QString& name);

// Whether a picture's name ends in a dot and three letters or digits, so
// that its word is the name less its extension.
bool hasThreeLetterExtension(const QString& name);

}  // namespace quillo::check

#pragma once

#include <QRegularExpression>
#include <QString>

namespace quillo {

// File name patterns with the classic rules: '*' is any run of characters,
// '?' one character, every other character is literal, letter case is
// ignored, and a trailing ".*" also matches a name without a dot, so "*.*"
// matches every file and "c*.*" every file whose name begins with c.
QRegularExpression wildcardExpression(const QString& pattern);
bool hasWildcards(const QString& pattern);

// The pattern that takes every file of a folder.
inline const QString kEveryFile = QStringLiteral("*.*");

// A character that no common file system accepts in a name: control
// characters and / \ : " < > |.
bool isForbiddenInFileName(QChar c);
bool isPortableFileName(const QString& name);

}  // namespace quillo

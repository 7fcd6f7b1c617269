#pragma once

#include "configformat.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <iterator>

// What the format's reader, writer and decoder share; not for use outside config/.

// The comment the writer puts at the top of every file. Read back, it is the file's own and no
// user's: it is not kept as a comment of the file.
extern const char *const ConfigHeaderComment[6];
constexpr int ConfigHeaderCommentLines = 6;

// The text before the first run of separators; empty when the line begins with one.
QStringView FirstConfigToken(QStringView line);
// ParseEntryLine without copying: the name and value as parts of the line.
bool ParseEntryViews(QStringView line, QStringView *name, QStringView *value);

// The bytes in the Windows code page 1252 of old Windows launchers.
QString DecodeWindows1252(QByteArrayView bytes);
// Whether every byte is ASCII.
bool IsAscii(QByteArrayView bytes);
// ASCII bytes as the characters they are, into `out`, whose room is used again.
void WidenAscii(QByteArrayView bytes, QString &out);

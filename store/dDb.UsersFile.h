#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The text encodings "users.db" is read and written in. A file is written back in the encoding
// it was read in, so an edited or foreign file keeps its form.
enum TUsersFileEncoding {
  ueUtf8,     // no byte-order mark; also what a new file gets
  ueUtf8Bom,
  ueUtf16LE,  // with byte-order mark
  ueUtf16BE,  // with byte-order mark
  ueCodePage  // the shared 8-bit code page: every byte is one character and back
};

// The user list as it is kept in "users.db": one name per line, the line number is the ID.
struct TUsersFileContent {
  QStringList Users;
  TUsersFileEncoding Encoding = ueUtf8;
};

namespace UsersFile {

// Reads the encoding from the byte-order mark; without one, valid UTF-8 is UTF-8 and anything
// else is the 8-bit code page, so no byte sequence is lost or rejected. CR LF, LF and CR all
// end a line; a final line without line end still counts, a final line end adds no line.
TUsersFileContent Decode(const QByteArray& AData);

// Every name followed by CR LF. Names the file's encoding cannot hold switch it to UTF-8
// rather than turning characters into question marks.
QByteArray Encode(const TUsersFileContent& AContent);

// A missing file holds no users; a file that exists but cannot be read raises ESealwiseError
// with the platform's reason.
TUsersFileContent Load(const QString& APath);

// Replaces the file whole with AData, an encoded list (temporary file in the same folder, then
// rename), creating the folder when needed. False when anything fails; the previous file is
// then left untouched.
bool Save(const QString& APath, const QByteArray& AData);

// The name as the file gives it back: line breaks inside a name would split it into two
// users and shift the ID of every later one, so they become spaces.
QString StorableName(const QString& AUserName);

}  // namespace UsersFile

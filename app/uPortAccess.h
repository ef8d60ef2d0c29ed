#pragma once
#include <QString>

// Why a serial port could not be opened, as far as the user can do something about it.
namespace TPortAccess {

// True when the port (a path, or a name under /dev) exists but this user may not read and
// write it: on Linux, serial devices belong to the dialout group.
bool IsPermissionDenied(const QString& APort);
// How to get access (translated).
QString PermissionHint();

}  // namespace TPortAccess

#include "uPortAccess.h"

#include <QFile>

#include "Vek.Lang.h"

#ifdef Q_OS_LINUX
#include <unistd.h>

#include <cerrno>
#endif

namespace TPortAccess {

bool IsPermissionDenied(const QString& APort) {
#ifdef Q_OS_LINUX
  const QString path = APort.startsWith(QLatin1Char('/')) ? APort : QStringLiteral("/dev/") + APort;
  const QByteArray native = QFile::encodeName(path);
  return access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
  Q_UNUSED(APort);
  return false;
#endif
}

QString PermissionHint() {
  return TranslateText(QStringLiteral(
      "You have no permission to use this port. Add your user to the \"dialout\" group "
      "(sudo usermod -a -G dialout $USER), then log out and log in again."));
}

}  // namespace TPortAccess

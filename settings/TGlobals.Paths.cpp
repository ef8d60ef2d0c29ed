#include "TGlobals.Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QStandardPaths>

#include "TIniDocument.h"

namespace {

struct TFolderOverrides {
  QMutex Lock;
  QString DataDir;
  QString ExportDir;
};

TFolderOverrides& Overrides() {
  static TFolderOverrides overrides;
  return overrides;
}

QString ReadOverride(QString TFolderOverrides::*AField) {
  TFolderOverrides& overrides = Overrides();
  const QMutexLocker locker(&overrides.Lock);
  return overrides.*AField;
}

void WriteOverride(QString TFolderOverrides::*AField, const QString& ADir) {
  TFolderOverrides& overrides = Overrides();
  const QMutexLocker locker(&overrides.Lock);
  overrides.*AField = ADir;
}

// Creation failures are not reported here: they show when a file in the folder is written.
QString Created(const QString& ADir) {
  QDir().mkpath(ADir);
  return ADir;
}

const QString kColorsSection = QStringLiteral("Colors");

TIniDocument LoadLayout() {
  TIniDocument colors;
  colors.LoadFromFile(QDir(TGlobals::GetDataDir()).filePath(QStringLiteral("colors.ini")));
  return colors;
}

QRgb LayoutColor(const QString& AKey, QRgb ADefault) {
  return static_cast<QRgb>(
      LoadLayout().ReadInteger(kColorsSection, AKey, static_cast<qint32>(ADefault)));
}

}  // namespace

namespace TGlobals {

QString GetAppDir() { return QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/'; }

QString GetDataDir() {
  QString dir = ReadOverride(&TFolderOverrides::DataDir);
  if (dir.isEmpty()) dir = qEnvironmentVariable("SEALWISE_DATA_DIR");
  if (dir.isEmpty())
    dir = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
              .filePath(QStringLiteral("Sealwise"));
  return Created(dir);
}

QString GetExportDir() {
  const QString dir = ReadOverride(&TFolderOverrides::ExportDir);
  return Created(dir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : dir);
}

QString GetConfigFilePath() {
  const QString path = QDir(GetDataDir()).filePath(QStringLiteral("Settings.cfg"));
  if (!QFile::exists(path)) QFile(path).open(QIODevice::WriteOnly);
  return path;
}

void SetDataFolderOverride(const QString& ADir) { WriteOverride(&TFolderOverrides::DataDir, ADir); }

void SetExportFolderOverride(const QString& ADir) {
  WriteOverride(&TFolderOverrides::ExportDir, ADir);
}

QString LayoutName() { return LoadLayout().ReadString(kColorsSection, QStringLiteral("Name"), {}); }

QRgb ColorPanelHeader() { return LayoutColor(QStringLiteral("Panel"), 0xFF1E1E1C); }
QRgb ColorToolBar() { return LayoutColor(QStringLiteral("Toolbar"), 0xFF4A4A4A); }
QRgb ColorPageSelect() { return LayoutColor(QStringLiteral("Select"), 0xFF008BCE); }
QRgb ColorChart() { return LayoutColor(QStringLiteral("Chart"), 0xFF000000); }
QRgb ColorText() { return LayoutColor(QStringLiteral("Text"), 0xFFFFFFFF); }
QRgb ColorChartBackground() { return LayoutColor(QStringLiteral("ChartBackground"), 0xFFDFDFDF); }

}  // namespace TGlobals

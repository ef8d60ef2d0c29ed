#pragma once
#include <QRgb>
#include <QString>

// Where the application keeps its files, and the colours of a customer layout ("colors.ini"
// in the data folder). Nothing is cached: every call looks at the file system afresh, so a
// changed layout file takes effect at its next use.
namespace TGlobals {

// The folder of the executable, with a trailing separator.
QString GetAppDir();
// The per-user data folder (<generic data location>/Sealwise), created when missing.
QString GetDataDir();
// The user's documents folder, created when missing.
QString GetExportDir();
// GetDataDir()/Settings.cfg; an empty file is created when it does not exist.
QString GetConfigFilePath();

// Process-wide replacements for the data and export folders (command-line options). An empty
// text removes the override. Without a data-folder override, a non-empty SEALWISE_DATA_DIR
// environment variable names the data folder.
void SetDataFolderOverride(const QString& ADir);
void SetExportFolderOverride(const QString& ADir);

// The layout's name, empty when there is no layout (no "colors.ini" or no Name key).
QString LayoutName();
// 32-bit ARGB colours of the layout; the built-in colour when the file or key is missing or
// the value is not an integer.
QRgb ColorPanelHeader();
QRgb ColorToolBar();
QRgb ColorPageSelect();
QRgb ColorChart();
QRgb ColorText();
QRgb ColorChartBackground();

}  // namespace TGlobals

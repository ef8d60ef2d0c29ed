#include "uSaveCsv.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "TGlobals.Paths.h"
#include "TGlobals.Shell.h"
#include "Vek.Lang.h"

namespace {

const QString CsvSuffix = QStringLiteral(".csv");

// A file that cannot be written is no place for a report; folders stay so the user can move
// through them.
class TWritableFilesOnly : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int ARow, const QModelIndex& AParent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) return true;
    const QFileInfo info = files->fileInfo(files->index(ARow, 0, AParent));
    return info.isDir() || info.isWritable();
  }
};

// "Description (pattern)": with the details hidden the dialog shows the description alone,
// which keeps its own parenthesis as the texts of the filter entries read.
QString NameFilter(const QString& ADescription, const char* APattern) {
  return QStringLiteral("%1 (%2)").arg(ADescription, QLatin1String(APattern));
}

}  // namespace

QString WithCsvExtension(const QString& AFileName, bool ACsvFilterSelected) {
  if (!ACsvFilterSelected || AFileName.endsWith(CsvSuffix, Qt::CaseInsensitive)) return AFileName;
  return AFileName + CsvSuffix;
}

TSaveCsvDialog::TSaveCsvDialog(QWidget* parent)
    : QFileDialog(parent), FCsvDescription(TranslateText(QStringLiteral("CSV Files (*.csv)"))) {
  setObjectName(QStringLiteral("dlgSaveCSV"));
  setWindowTitle(TranslateText(QStringLiteral("Export CSV File...")));
  setOption(DontUseNativeDialog);
  setOption(DontConfirmOverwrite);
  setOption(HideNameFilterDetails);
  setAcceptMode(AcceptSave);
  setFileMode(AnyFile);
  setProxyModel(new TWritableFilesOnly(this));
  setSizeGripEnabled(true);
  setDirectory(TGlobals::GetExportDir());
  setNameFilters({NameFilter(FCsvDescription, "*.csv"),
                  NameFilter(TranslateText(QStringLiteral("All Files (*.*)")), "*")});
  selectNameFilter(nameFilters().constFirst());
}

// With the details hidden, Qt 6.4 reports the entry as shown, later versions the whole filter.
bool TSaveCsvDialog::CsvFilterSelected() const {
  const QString selected = selectedNameFilter();
  return selected == nameFilters().constFirst() || selected == FCsvDescription;
}

QString TSaveCsvDialog::ChosenFileName() const {
  return WithCsvExtension(selectedFiles().value(0), CsvFilterSelected());
}

void TSaveCsvDialog::accept() {
  const QString chosen = selectedFiles().value(0);
  if (!chosen.isEmpty() && !QFileInfo(chosen).dir().exists()) {
    TGlobals::MsgWindow(TranslateText(QStringLiteral("The folder does not exist.")));
    return;
  }
  QFileDialog::accept();
}

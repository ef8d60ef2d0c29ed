#pragma once
#include <QFileDialog>
#include <QString>

// The name a report is saved under: with the "CSV Files" entry selected, a name whose
// extension is not .csv in any letter case gets ".csv" appended; otherwise it stays.
QString WithCsvExtension(const QString& AFileName, bool ACsvFilterSelected);

// The save dialog dlgSaveCSV of the reports page: "Export CSV File...", opened in the export
// folder with the entries "CSV Files (*.csv)" (selected) and "All Files (*.*)". It lists no
// read-only files, replaces an existing file without a question and only accepts a name in a
// folder that exists. Qt's own dialog rather than the platform's, so it looks the same
// everywhere and tests can fill it in.
class TSaveCsvDialog : public QFileDialog {
  Q_OBJECT
 public:
  explicit TSaveCsvDialog(QWidget* parent);

  bool CsvFilterSelected() const;
  // The file to write: the chosen name after the extension rule.
  QString ChosenFileName() const;

 public slots:
  void accept() override;

 private:
  const QString FCsvDescription;
};

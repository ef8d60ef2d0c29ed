#pragma once
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QTest>
#include <QtEndian>
#include <vector>

#include "ShellFixture.h"
#include "Vek.BusyIndicator.h"
#include "Vek.Controls.h"
#include "dIcons.h"
#include "pages/uPageReports.h"
#include "pages/uPageWorking.h"
#include "uSaveCsv.h"

// One stored record as the device sends it in three pieces.
struct THistoryEntry {
  quint8 Kind;
  QByteArray Name;  // in the device's single-byte code page
  TDateTime At;
  bool CrcGood = true;
};

inline QByteArray BigEndian32(quint32 AValue) {
  QByteArray bytes(4, '\0');
  qToBigEndian(AValue, bytes.data());
  return bytes;
}

// The start, name and time pieces of a record: start and name 16 bytes, time 8 bytes, the
// piece kind in the top two bits of the header.
inline std::vector<QByteArray> HistoryPieces(const THistoryEntry& AEntry) {
  QByteArray start(16, '\0');
  start[14] = static_cast<char>(AEntry.Kind);
  start[15] = 1;
  QByteArray name = BigEndian32(1u << 30) + AEntry.Name.left(9).leftJustified(9, '\0');
  name += QByteArray(2, '\0');
  name += AEntry.CrcGood ? '\0' : '\x55';
  const qint64 deviceTime = QDateTime(QDate(2019, 1, 1), QTime(0, 0), Qt::UTC).secsTo(AEntry.At);
  const QByteArray time = BigEndian32(2u << 30) + BigEndian32(static_cast<quint32>(deviceTime));
  return {start, name, time};
}

// The window connected to a fake device, with what the reports page needs: the history fed
// through the link, the page shown, the save dialog filled in. Dates are shown in the C
// locale, so times read 14:00:20 whatever the machine's settings.
class TReportsTest : public TShellTest {
 protected:
  void SetUp() override {
    TShellTest::SetUp();
    FLocale = QLocale();
    QLocale::setDefault(QLocale::c());
  }
  void TearDown() override {
    TShellTest::TearDown();
    QLocale::setDefault(FLocale);
  }

  TReportsPage* Page() const { return Window->WorkingPage()->Reports(); }

  // The count answer, then the pieces of every record, as the USB device would send them.
  void FeedHistory(const std::vector<THistoryEntry>& AEntries) {
    Usb().Answer(32, BigEndian32(static_cast<quint32>(AEntries.size())));
    for (const THistoryEntry& entry : AEntries)
      for (const QByteArray& piece : HistoryPieces(entry)) Usb().Answer(33, piece);
  }

  void ShowReports() {
    Window->WorkingPage()->FooterButton(TWorkingPage::ftReports)->click();
    ASSERT_EQ(ShownWorking(), Window->WorkingPage()->tabReport());
  }

  TSaveCsvDialog* OpenSaveDialog() {
    QTest::mouseClick(Page()->SaveImage(), Qt::LeftButton);
    return Window->findChild<TSaveCsvDialog*>(QStringLiteral("dlgSaveCSV"));
  }

  // Picks a filter entry in the save dialog, types the name and saves. (Qt's dialog gives a
  // name typed before a change of the entry the extension of the new entry.)
  void SaveAs(const QString& AName, int AFilter) {
    TSaveCsvDialog* dialog = OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    dialog->selectNameFilter(dialog->nameFilters().value(AFilter));
    dialog->selectFile(AName);
    dialog->accept();
    ProcessEventsFor(10);  // the dialog closes and frees itself
  }

  QByteArray SavedBytes(const QString& AName) const {
    QFile file(QDir(FData.path()).filePath(AName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private:
  QLocale FLocale;
};

#pragma once
#include <QFrame>
#include <QString>

#include "Vek.Controls.h"
#include "Vek.PageControl.h"
#include "dIcons.h"

class QLabel;
class QHBoxLayout;
class TGlyphButton;

// A tool bar: a strip whose background takes the layout's tool-bar colour.
class TToolBar : public QFrame {
  Q_OBJECT
 public:
  TToolBar(const QString& AName, QWidget* parent);
  QHBoxLayout* Row() const { return FRow; }

 private:
  QHBoxLayout* FRow;
};

// What a panel is made of: its names and texts. An empty second button means none.
struct TPanelSpec {
  QString Name;                            // the panel, e.g. pnlUser
  QString Header;                          // the header text
  QString PageControl;                     // the inner page control, e.g. tcUser
  QString MainPage;                        // its first page: the panel's content
  QString InfoButton;                      // e.g. btnUserInfo
  QString InfoPage;                        // e.g. tabUserInfo
  QString InfoText;                        // the text of the info page
  QString SecondButton;                    // e.g. btnUserSettings
  QString SecondPage;                      // e.g. tabUserSettings
  int SecondImage = TIcon::PanelSettings;  // entry of ilPanels for the second button
};

// The names of a panel follow its stem: "Led" gives pnlLed with the page control tcLed, its
// content tabLedMain and the info button btnLedInfo that opens tabLedInfo.
TPanelSpec StemPanel(const QString& AStem, const QString& AHeader, const QString& AInfoText);

// A panel of a working page: a header with its label and buttons, and an inner page control
// whose first page is the content and whose other pages are the info text and, optionally, a
// settings page. The buttons only show; the window dispatches their clicks by tag.
class TPanel : public TBorderFrame {
  Q_OBJECT
 public:
  TPanel(const TPanelSpec& ASpec, QWidget* parent);

  TPageControl* Pages() const { return FPages; }
  QWidget* MainPage() const { return FMainPage; }
  QWidget* InfoPage() const { return FInfoPage; }
  QWidget* SecondPage() const { return FSecondPage; }
  TGlyphButton* InfoButton() const { return FInfoButton; }
  TGlyphButton* SecondButton() const { return FSecondButton; }
  QLabel* HeaderLabel() const { return FHeaderLabel; }

  static constexpr int HeaderHeight = 26;

 private:
  QWidget* MakeHeader(const TPanelSpec& ASpec);
  QWidget* MakeInfoPage(const TPanelSpec& ASpec);

  TPageControl* FPages = nullptr;
  QWidget* FMainPage = nullptr;
  QWidget* FInfoPage = nullptr;
  QWidget* FSecondPage = nullptr;
  TGlyphButton* FInfoButton = nullptr;
  TGlyphButton* FSecondButton = nullptr;
  QLabel* FHeaderLabel = nullptr;
};

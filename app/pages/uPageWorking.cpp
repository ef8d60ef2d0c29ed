#include "uPageWorking.h"

#include <QChartView>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Vek.Controls.h"
#include "Vek.PageControl.h"
#include "Vek.Panel.h"
#include "Vek.Swipe.h"
#include "uPageAlert.h"
#include "uPageDashboard.h"
#include "uPageReports.h"
#include "uPageSettings.h"
#include "uPanelDevInfo.h"
#include "uPanelResult.h"
#include "uStyles.h"

TWorkingPage::TWorkingPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabWorking"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(MakeHeader());

  FPages = new TPageControl(this);
  FPages->setObjectName(QStringLiteral("tcWorking"));
  FDashboard = FPages->AddPage(new TDashboardPage(FPages, FPages));
  FReport = FPages->AddPage(new TReportsPage(FPages));
  FSettings = MakeSettingsPage();
  FAlert = FPages->AddPage(new TAlertPage(FPages));
  column->addWidget(FPages, 1);
  column->addWidget(MakeFooter());
  ConnectSwipes();
}

// On the footer a swipe points at the button of the page it goes to (left: the page before);
// on the settings panels a swipe pulls the next page in from the side it leaves (left: the
// page after). A left swipe on the chart brings the reports.
void TWorkingPage::ConnectSwipes() {
  auto* footer = new TSwipe(FFooter);
  connect(footer, &TSwipe::SwipedLeft, this, [this] { MoveWorkingPage(-1); });
  connect(footer, &TSwipe::SwipedRight, this, [this] { MoveWorkingPage(1); });
  for (TPanel* panel : {FSettingsPage->SettingsPanel(), static_cast<TPanel*>(FDeviceInfo)}) {
    auto* swipe = new TSwipe(panel->Pages());
    connect(swipe, &TSwipe::SwipedLeft, this, [this] { MoveWorkingPage(1); });
    connect(swipe, &TSwipe::SwipedRight, this, [this] { MoveWorkingPage(-1); });
  }
  auto* chart = new TSwipe(FDashboard->Result()->ChartView());
  connect(chart, &TSwipe::SwipedLeft, this,
          [this] { FPages->SetActivePage(FReport, TTabTransition::Slide); });
}

// Only among the footer's pages: the alert page is left by handling its alerts.
void TWorkingPage::MoveWorkingPage(int ASteps) {
  for (int tag = ftDashboard; tag <= ftSettings; ++tag) {
    if (PageOfTag(tag) != FPages->ActivePage()) continue;
    if (QWidget* target = PageOfTag(tag + ASteps))
      FPages->SetActivePage(target, TTabTransition::Slide, ASteps > 0);
    return;
  }
}

QWidget* TWorkingPage::tabDashboard() const { return FDashboard; }

QWidget* TWorkingPage::tabAlert() const { return FAlert; }

QWidget* TWorkingPage::tabReport() const { return FReport; }

QWidget* TWorkingPage::MakeHeader() {
  auto* header = new TToolBar(QStringLiteral("tlbHeader"), this);
  header->setFixedHeight(HeaderHeight);
  QHBoxLayout* row = header->Row();
  row->setContentsMargins(6, 2, 6, 2);
  row->setSpacing(4);
  FLogo = new TGlyph(QStringLiteral("imgLogo"), header);
  FLogo->SetSvg(TImages::Logo);
  FLogo->setFixedSize(92, 32);
  FLogo->setCursor(Qt::PointingHandCursor);
  row->addWidget(FLogo);
  row->addStretch(1);
  FDateTime = TStyles::MakeLabel(QStringLiteral("lblDateTime"), QStringLiteral("---"), header);
  FDateTime->setWordWrap(false);
  FDateTime->setFont(TStyles::Font(11));
  TStyles::SetTextColor(FDateTime, Qt::white);
  row->addWidget(FDateTime);
  auto addIndicator = [header, row](const QString& AName, TIconList AList, int ASize) {
    auto* glyph = new TGlyph(AName, header);
    glyph->SetImage(AList, -1);
    glyph->setFixedSize(ASize, ASize);
    row->addWidget(glyph);
    return glyph;
  };
  FUploadCloud = addIndicator(QStringLiteral("imgUploadCloud"), TIconList::Icons, 18);
  FLocation = addIndicator(QStringLiteral("imgLocation"), TIconList::Icons, 18);
  FBattery = addIndicator(QStringLiteral("imgBattery"), TIconList::Battery, 30);
  return header;
}

QWidget* TWorkingPage::MakeSettingsPage() {
  FSettingsPage = FPages->AddPage(new TSettingsPage(FPages));
  FDeviceInfo = FSettingsPage->DeviceInfo();
  return FSettingsPage;
}

QWidget* TWorkingPage::MakeFooter() {
  FFooter = new TToolBar(QStringLiteral("tlbWorking"), this);
  FFooter->setFixedHeight(FooterHeight);
  FFooter->Row()->setContentsMargins(0, 0, 0, 0);
  struct TButton {
    const char* Name;
    const char* Text;
    int Image;
  };
  const TButton buttons[] = {{"btnDashboard", "Dashboard", TIcon::FooterDashboard},
                             {"btnReports", "Reports", TIcon::FooterReport},
                             {"btnSettings", "Settings", TIcon::FooterSettings}};
  for (int i = 0; i < 3; ++i) {
    auto* button = new TGlyphButton(QLatin1String(buttons[i].Name), TIconList::Footer,
                                    buttons[i].Image, FFooter);
    button->setText(QLatin1String(buttons[i].Text));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(22, 22));
    button->setFont(TStyles::Font(10));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    const int tag = i + 1;
    button->setProperty("Tag", tag);
    connect(button, &QToolButton::clicked, this, [this, tag] { emit FooterClicked(tag); });
    FFooter->Row()->addWidget(button, 1);
    FFooterButtons[static_cast<size_t>(i)] = button;
  }
  FMarker = new QWidget(FFooter);
  FMarker->setObjectName(QStringLiteral("rectTabSelected"));
  FFooter->installEventFilter(this);
  return FFooter;
}

QToolButton* TWorkingPage::FooterButton(TFooterTag ATag) const {
  return FFooterButtons[static_cast<size_t>(ATag - 1)];
}

QWidget* TWorkingPage::PageOfTag(int ATag) const {
  switch (ATag) {
    case ftDashboard:
      return FDashboard;
    case ftReports:
      return FReport;
    case ftSettings:
      return FSettings;
    default:
      return nullptr;
  }
}

void TWorkingPage::SetMarkerColor(const QColor& AColor) {
  TStyles::FillBackground(FMarker, AColor);
}

void TWorkingPage::MarkFooterButton(TFooterTag ATag) {
  FMarked = ATag;
  PlaceMarker();
}

void TWorkingPage::PlaceMarker() {
  const QToolButton* button = FooterButton(FMarked);
  FMarker->setGeometry(button->x(), 0, button->width(), MarkerHeight);
  FMarker->raise();
}

void TWorkingPage::SetFooterEnabled(bool AEnabled) {
  for (QToolButton* button : FFooterButtons) button->setEnabled(AEnabled);
}

// The footer's buttons take their thirds when it is laid out; the marker follows its button.
bool TWorkingPage::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AWatched == FFooter &&
      (AEvent->type() == QEvent::Resize || AEvent->type() == QEvent::LayoutRequest)) {
    FFooter->layout()->activate();
    PlaceMarker();
  }
  return QWidget::eventFilter(AWatched, AEvent);
}

#include "Vek.Panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "TGlobals.Paths.h"
#include "uStyles.h"

TToolBar::TToolBar(const QString& AName, QWidget* parent) : QFrame(parent) {
  setObjectName(AName);
  // The "ToolBarBackgroundStyle" rectangle of the layout.
  TStyles::FillBackground(this, TStyles::FromArgb(TGlobals::ColorToolBar()));
  FRow = new QHBoxLayout(this);
  FRow->setContentsMargins(4, 0, 4, 0);
  FRow->setSpacing(0);
}

namespace {
// "pnlUser" -> "lblUserHeader": the header label is named after its panel.
QString HeaderLabelName(const QString& APanelName) {
  return QStringLiteral("lbl%1Header").arg(APanelName.mid(3));
}
}  // namespace

TPanel::TPanel(const TPanelSpec& ASpec, QWidget* parent) : TBorderFrame(ASpec.Name, parent) {
  TStyles::FillBackground(this, TStyles::PanelBody);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(MakeHeader(ASpec));

  FPages = new TPageControl(this);
  FPages->setObjectName(ASpec.PageControl);
  FMainPage = FPages->AddPage(ASpec.MainPage);
  FInfoPage = MakeInfoPage(ASpec);
  if (!ASpec.SecondPage.isEmpty()) FSecondPage = FPages->AddPage(ASpec.SecondPage);
  column->addWidget(FPages, 1);
}

QWidget* TPanel::MakeHeader(const TPanelSpec& ASpec) {
  // The "PellPanelHeaderStyle" rectangle of the layout.
  auto* header = new QWidget(this);
  header->setFixedHeight(HeaderHeight);
  TStyles::FillBackground(header, TStyles::FromArgb(TGlobals::ColorPanelHeader()));
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(8, 0, 2, 0);
  row->setSpacing(2);
  FHeaderLabel = TStyles::MakeLabel(HeaderLabelName(ASpec.Name), ASpec.Header, header);
  FHeaderLabel->setWordWrap(false);
  FHeaderLabel->setFont(TStyles::Font(13, true));
  TStyles::SetTextColor(FHeaderLabel, Qt::white);
  row->addWidget(FHeaderLabel, 1);
  const QSize button(HeaderHeight - 2, HeaderHeight - 2);
  if (!ASpec.SecondButton.isEmpty()) {
    FSecondButton =
        new TGlyphButton(ASpec.SecondButton, TIconList::Panels, ASpec.SecondImage, header);
    FSecondButton->setFixedSize(button);
    FSecondButton->setIconSize(button - QSize(6, 6));
    row->addWidget(FSecondButton);
  }
  FInfoButton = new TGlyphButton(ASpec.InfoButton, TIconList::Panels, TIcon::PanelInfo, header);
  FInfoButton->setFixedSize(button);
  FInfoButton->setIconSize(button - QSize(6, 6));
  row->addWidget(FInfoButton);
  return header;
}

QWidget* TPanel::MakeInfoPage(const TPanelSpec& ASpec) {
  QWidget* page = FPages->AddPage(ASpec.InfoPage);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(10, 4, 10, 4);
  // "tabUserInfo" -> "lblUserInfo".
  QLabel* text =
      TStyles::MakeLabel(QStringLiteral("lbl%1").arg(ASpec.InfoPage.mid(3)), ASpec.InfoText, page);
  text->setAlignment(Qt::AlignCenter);
  text->setFont(TStyles::Font(13));
  layout->addWidget(text);
  return page;
}

TPanelSpec StemPanel(const QString& AStem, const QString& AHeader, const QString& AInfoText) {
  TPanelSpec panel;
  panel.Name = QStringLiteral("pnl") + AStem;
  panel.Header = AHeader;
  panel.PageControl = QStringLiteral("tc") + AStem;
  panel.MainPage = QStringLiteral("tab%1Main").arg(AStem);
  panel.InfoButton = QStringLiteral("btn%1Info").arg(AStem);
  panel.InfoPage = QStringLiteral("tab%1Info").arg(AStem);
  panel.InfoText = AInfoText;
  return panel;
}

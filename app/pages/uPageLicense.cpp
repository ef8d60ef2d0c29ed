#include "uPageLicense.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStringList>
#include <QTextStream>
#include <QVBoxLayout>

#include "Vek.Controls.h"
#include "Vek.Panel.h"
#include "uStyles.h"

TLicensePage::TLicensePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabLicense"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("sbLicense"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FLicense = TStyles::MakeLabel(QStringLiteral("lblLicense"), QString(), scroll);
  FLicense->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  FLicense->setContentsMargins(10, 10, 10, 10);
  FLicense->setFont(TStyles::Font(11));
  FLicense->setTextFormat(Qt::PlainText);
  TStyles::FillBackground(FLicense, TStyles::Background);
  TStyles::SetTextColor(FLicense, Qt::white);
  scroll->setWidget(FLicense);
  column->addWidget(scroll, 1);

  FToolBar = new TToolBar(QStringLiteral("tlbLicense"), this);
  FToolBar->setFixedHeight(48);
  FAccept = MakeButton(QStringLiteral("btnLicenseAccept"), QStringLiteral("Accept License"),
                       TIcon::LicenseAccept, TStyles::Lime);
  FDecline = MakeButton(QStringLiteral("btnLicenseCancel"), QStringLiteral("Decline License"),
                        TIcon::LicenseCancel, TStyles::Crimson);
  FToolBar->Row()->addWidget(FAccept);
  FToolBar->Row()->addWidget(FDecline);
  column->addWidget(FToolBar);
  connect(FAccept, &QToolButton::clicked, this, [this] {
    if (OnAccept) OnAccept();
  });
  connect(FDecline, &QToolButton::clicked, this, [this] {
    if (OnDecline) OnDecline();
  });
}

TLicensePage::~TLicensePage() {
  // The reader only reads a file and posts the text; it never waits for this thread.
  if (FLoader.joinable()) FLoader.join();
}

QToolButton* TLicensePage::MakeButton(const QString& AName, const QString& AText, int AImage,
                                      const QColor& AColor) {
  auto* button = new TGlyphButton(AName, TIconList::License, AImage, FToolBar);
  button->setText(AText);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setIconSize(QSize(20, 20));
  button->setFixedHeight(40);
  button->setFont(TStyles::Font(12, true));
  TStyles::SetTextColor(button, AColor);
  return button;
}

void TLicensePage::FitButtons() {
  const int width = (FToolBar->width() - 2 * ButtonMargin) / 2;
  FAccept->setFixedWidth(width);
  FDecline->setFixedWidth(width);
  // Placed at once: the page may be entered while the window is still busy starting.
  FToolBar->layout()->activate();
}

void TLicensePage::ShowAcceptOnly() {
  FDecline->hide();
  FToolBar->Row()->setAlignment(FAccept, Qt::AlignHCenter);
}

void TLicensePage::LoadText(const QString& AFileName) {
  if (FLoader.joinable()) FLoader.join();
  // The destructor joins the reader, so the page outlives it; an event posted to the page is
  // dropped if the page goes before it is delivered.
  FLoader = std::thread([this, AFileName] {
    QStringList lines;
    QFile file(AFileName);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      QTextStream stream(&file);  // UTF-8 unless a byte-order mark says otherwise
      while (!stream.atEnd()) lines << stream.readLine();
    }
    QMetaObject::invokeMethod(
        this, [this, lines] { SetText(lines); }, Qt::QueuedConnection);
  });
}

void TLicensePage::SetText(const QStringList& ALines) {
  FLicense->setText(ALines.join(QLatin1Char('\n')));
  FLicense->adjustSize();
  FLicense->update();
  emit TextLoaded();
}

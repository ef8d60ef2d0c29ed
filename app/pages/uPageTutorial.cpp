#include "uPageTutorial.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "Vek.Controls.h"
#include "Vek.PageControl.h"
#include "Vek.Panel.h"
#include "Vek.Swipe.h"
#include "uStyles.h"

TTutorialPage::TTutorialPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabTutorial"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  FTopRow = new QWidget(this);
  auto* top = new QHBoxLayout(FTopRow);
  top->setContentsMargins(8, 4, 8, 4);
  FDoNotShow = TStyles::MakeLabel(QStringLiteral("lblTutorialDoNotShow"),
                                  QStringLiteral("Do not show next time"), FTopRow);
  FSwitch = new QCheckBox(FTopRow);
  FSwitch->setObjectName(QStringLiteral("swTutorial"));
  top->addWidget(FDoNotShow, 1);
  top->addWidget(FSwitch);
  column->addWidget(FTopRow);

  FPages = new TPageControl(this);
  FPages->setObjectName(QStringLiteral("tcTutorial"));
  for (int i = 0; i < PageCount; ++i) {
    QWidget* page = FPages->AddPage(QStringLiteral("tabTutorial%1").arg(i + 1));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    FPictures[static_cast<size_t>(i)] =
        new TGlyph(QStringLiteral("imgTutorial%1").arg(i + 1), page);
    layout->addWidget(FPictures[static_cast<size_t>(i)]);
  }
  FPages->OnChange = [this] { UpdateButtons(); };
  column->addWidget(FPages, 1);
  column->addWidget(MakeToolBar());
  // On a picture a left swipe goes on and a right swipe back; going on past the last page in
  // use closes (UpdateButtons).
  for (TGlyph* picture : FPictures) {
    auto* swipe = new TSwipe(picture);
    connect(swipe, &TSwipe::SwipedLeft, FActNext, &QAction::trigger);
    connect(swipe, &TSwipe::SwipedRight, FActPrevious, &QAction::trigger);
  }
  UpdateButtons();
}

QWidget* TTutorialPage::MakeToolBar() {
  auto* bar = new TToolBar(QStringLiteral("tlbTutorial"), this);
  bar->setFixedHeight(48);
  FActPrevious = new QAction(this);
  FActPrevious->setObjectName(QStringLiteral("actTutorialPrevious"));
  FActNext = new QAction(this);
  FActNext->setObjectName(QStringLiteral("actTutorialNext"));
  FActClose = new QAction(this);
  FActClose->setObjectName(QStringLiteral("actTutorialClose"));
  connect(FActPrevious, &QAction::triggered, this, [this] { MoveBy(-1); });
  connect(FActNext, &QAction::triggered, this, [this] { MoveBy(1); });
  connect(FActClose, &QAction::triggered, this, [this] {
    if (OnClose) OnClose();
  });

  auto makeButton = [bar](const QString& AName, const QString& AText, const QString& AImage,
                          QAction* AAction) {
    auto* button = new QToolButton(bar);
    button->setObjectName(AName);
    button->setText(AText);
    button->setIcon(QIcon(QPixmap::fromImage(TImageList::RenderSvg(AImage, QSize(40, 40)))));
    button->setIconSize(QSize(18, 18));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFixedHeight(40);
    button->setFont(TStyles::Font(12, true));
    QObject::connect(button, &QToolButton::clicked, AAction, &QAction::trigger);
    return button;
  };
  FBack = makeButton(QStringLiteral("btnTutorialBack"), QStringLiteral("Back"), TImages::Back,
                     FActPrevious);
  FNext = makeButton(QStringLiteral("btnTutorialNext"), QStringLiteral("Next"), TImages::Next,
                     FActNext);
  FNext->setLayoutDirection(Qt::RightToLeft);  // the arrow after the text
  FClose = makeButton(QStringLiteral("btnTutorialClose"), QStringLiteral("Close"), TImages::Close,
                      FActClose);
  bar->Row()->addWidget(FBack);
  bar->Row()->addStretch(1);
  bar->Row()->addWidget(FNext);
  bar->Row()->addWidget(FClose);
  return bar;
}

TGlyph* TTutorialPage::Picture(int AIndex) const {
  return AIndex >= 1 && AIndex <= PageCount ? FPictures[static_cast<size_t>(AIndex - 1)] : nullptr;
}

QString TTutorialPage::PictureFile(int AIndex) const {
  return AIndex >= 1 && AIndex <= FTutorialTabsCount
             ? FPictureFiles[static_cast<size_t>(AIndex - 1)]
             : QString();
}

void TTutorialPage::LoadTutorialImages(const QString& AFolder, bool AFullFace) {
  FTutorialTabsCount = AFullFace ? FullFacePages : HalfMaskPages;
  const QString pattern =
      AFullFace ? QStringLiteral("offm_st%1.png") : QStringLiteral("inm_st%1.png");
  for (int i = 1; i <= FTutorialTabsCount; ++i) {
    const QString file = QDir(AFolder).filePath(pattern.arg(i));
    FPictureFiles[static_cast<size_t>(i - 1)] = file;
    QPixmap picture;
    if (!QFileInfo::exists(file) || !picture.load(file)) {
      picture = QPixmap(size().isEmpty() ? QSize(309, 500) : FPages->size());
      picture.fill(Qt::white);
    }
    FPictures[static_cast<size_t>(i - 1)]->SetPicture(picture);
  }
}

void TTutorialPage::ShowFirstPage() {
  QWidget* first = FPages->widget(0);
  if (FPages->ActivePage() == first)
    UpdateButtons();
  else
    FPages->SetActivePage(first, TTabTransition::None);
}

void TTutorialPage::HideDoNotShow() {
  FDoNotShow->hide();
  FSwitch->hide();
  FTopRow->hide();  // with its margins
}

// A move past the pages in use lands on a spare page, and the change handler closes.
void TTutorialPage::MoveBy(int ASteps) {
  const int index = FPages->currentIndex() + ASteps;
  if (index < 0 || index >= PageCount) return;
  FPages->SetActivePage(FPages->widget(index), TTabTransition::Slide, ASteps > 0);
}

void TTutorialPage::UpdateButtons() {
  const int index = FPages->currentIndex();
  if (index >= FTutorialTabsCount) {
    FActClose->trigger();
    return;
  }
  FBack->setEnabled(index > 0);
  FNext->setVisible(index < FTutorialTabsCount - 1);
  FClose->setVisible(index >= FTutorialTabsCount - 1);
}

#include "uPanelUsers.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPropertyAnimation>
#include <QVBoxLayout>
#include <QValidator>

#include "Vek.Controls.h"
#include "Vek.Lang.h"
#include "dDb.h"
#include "uStyles.h"

QString ChooseUserText() { return TranslateText(QStringLiteral("CHOOSE USER")); }

namespace {
TPanelSpec UsersPanelSpec() {
  TPanelSpec panel;
  panel.Name = QStringLiteral("pnlUser");
  panel.Header = QStringLiteral("Users");
  panel.PageControl = QStringLiteral("tcUser");
  panel.MainPage = QStringLiteral("tabUserMain");
  panel.InfoButton = QStringLiteral("btnUserInfo");
  panel.InfoPage = QStringLiteral("tabUserInfo");
  panel.InfoText = QStringLiteral("Add new user or select from the list.");
  panel.SecondButton = QStringLiteral("btnUserSettings");
  panel.SecondPage = QStringLiteral("tabUserSettings");
  return panel;
}

const QColor AddUserColor = QColor::fromRgba(0xFFFF0000);
const QColor CancelColor = QColor::fromRgba(0xFF008BCE);

// A name has at most MaxNameLength characters, but the choose-user text may be longer: it
// stays whole when the program puts it into the edit, and it can be typed in full (in any
// letter case), so that leaving the edit with it still means no user. A longer start of it is
// cut to a name's length when the edit is left.
class TUserNameValidator : public QValidator {
 public:
  explicit TUserNameValidator(QObject* parent) : QValidator(parent) {}

  State validate(QString& AInput, int&) const override {
    if (AInput.size() <= TUsersPanel::MaxNameLength || TUsersPanel::IsNoUserName(AInput))
      return Acceptable;
    return ChooseUserText().startsWith(AInput, Qt::CaseInsensitive) ? Intermediate : Invalid;
  }
  void fixup(QString& AInput) const override { AInput.truncate(TUsersPanel::MaxNameLength); }
};
}  // namespace

TUsersPanel::TUsersPanel(QWidget* AWorkingArea, QWidget* parent)
    : TPanel(UsersPanelSpec(), parent), FWorkingArea(AWorkingArea) {
  SecondButton()->hide();
  auto* column = new QVBoxLayout(MainPage());
  column->setContentsMargins(6, 2, 6, 2);
  column->setSpacing(0);
  column->addWidget(MakeSelector());
  FList = new QListWidget(MainPage());
  FList->setObjectName(QStringLiteral("lstUserSel"));
  FList->setFrameShape(QFrame::NoFrame);
  FList->setMinimumHeight(0);
  // Entries large enough to read and tap at arm's length.
  FList->setFont(TStyles::Font(13));
  FList->setSpacing(3);
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(FList, &QListWidget::itemClicked, this, &TUsersPanel::ListTapped);
  FList->hide();  // seen only while the panel is expanded
  column->addWidget(FList, 1);

  FAnimation = new QPropertyAnimation(this, "PanelHeight", this);
  FAnimation->setObjectName(QStringLiteral("aniUsersList"));
  FAnimation->setDuration(AnimationMs);
  FAnimation->setStartValue(CollapsedHeight);
  SetPanelHeight(CollapsedHeight);
  ApplyLanguage();
}

QWidget* TUsersPanel::MakeSelector() {
  auto* row = new QWidget(MainPage());
  // What stays of the panel when it is collapsed: border, header and margins taken off.
  row->setFixedHeight(CollapsedHeight - HeaderHeight - 2 - 4);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  auto* symbol = new TGlyph(QStringLiteral("imgUser"), row);
  symbol->SetSvg(TImages::User);
  symbol->setFixedSize(28, 28);
  layout->addWidget(symbol);

  FSelector = new TPageControl(row);
  FSelector->setObjectName(QStringLiteral("tcUserSel"));
  FSelPage = FSelector->AddPage(QStringLiteral("tabUserSel"));
  FSelAddPage = FSelector->AddPage(QStringLiteral("tabUserSelAdd"));
  auto* selLayout = new QHBoxLayout(FSelPage);
  selLayout->setContentsMargins(0, 0, 0, 0);
  FUsersLabel =
      new TClickLabel(QStringLiteral("lblUsers"), QStringLiteral("CHOOSE USER"), FSelPage);
  FUsersLabel->setFont(TStyles::Font(15, true));
  selLayout->addWidget(FUsersLabel);
  connect(FUsersLabel, &TClickLabel::Clicked, this, [this] { ShowUserList(true); });

  auto* addLayout = new QHBoxLayout(FSelAddPage);
  addLayout->setContentsMargins(0, 0, 0, 0);
  FEdit = new QLineEdit(FSelAddPage);
  FEdit->setObjectName(QStringLiteral("edtUserAdd"));
  FEdit->setValidator(new TUserNameValidator(FEdit));
  addLayout->addWidget(FEdit);
  connect(FEdit, &QLineEdit::textEdited, this, [this] { FEditHoldsChooseUser = false; });
  connect(FEdit, &QLineEdit::editingFinished, this, &TUsersPanel::UserAddExit);
  connect(FEdit, &QLineEdit::returnPressed, FEdit, [this] { FEdit->clearFocus(); });
  FSelector->OnChange = [this] { SelectorChanged(); };
  layout->addWidget(FSelector, 1);
  return row;
}

void TUsersPanel::ApplyLanguage() {
  FEdit->setPlaceholderText(TranslateText(QStringLiteral("New User Name...")));
  // The engine puts back the design texts of the label and the edit; the selection stays what
  // it was, and the list's own entries take the new language.
  FUsersLabel->setText(FSelectedName.isEmpty() ? ChooseUserText() : FSelectedName);
  if (FEditHoldsChooseUser) PutChooseUserIntoEdit();
  const int current = FList->currentRow();
  FillUserList();
  FList->setCurrentRow(current);
}

void TUsersPanel::SetPanelHeight(int AHeight) {
  FPanelHeight = AHeight;
  setFixedHeight(AHeight);
}

int TUsersPanel::ExpandedHeight() const { return FWorkingArea->height() / 2; }

void TUsersPanel::ShowUserList(bool AShow) {
  if (AShow) FillUserList();
  if (AShow == FExpanded) return;  // collapsing a collapsed panel would flash it open
  FExpanded = AShow;
  FAnimation->stop();
  // A hidden list leaves the collapsed panel's height to the name, so nothing covers it.
  FList->setVisible(AShow);
  if (AShow) {
    const int target = ExpandedHeight();
    FAnimation->setEndValue(target);
    SetPanelHeight(target);
    FAnimation->setDirection(QAbstractAnimation::Forward);
  } else {
    SetPanelHeight(CollapsedHeight);
    FAnimation->setDirection(QAbstractAnimation::Backward);
  }
  if (TPageControl::AnimationsEnabled()) FAnimation->start();
}

void TUsersPanel::AddListEntry(const QString& AText, const QColor& AColor) {
  auto* item = new QListWidgetItem(AText, FList);
  item->setForeground(AColor);
}

void TUsersPanel::FillUserList() {
  FList->setUpdatesEnabled(false);
  FList->clear();
  AddListEntry(TranslateText(QStringLiteral("Add User")), AddUserColor);
  QStringList users;
  if (dmDb) dmDb->GetUsers(&users);
  users.sort(Qt::CaseInsensitive);
  for (const QString& user : users) AddListEntry(user, Qt::white);
  AddListEntry(TranslateText(QStringLiteral("Cancel...")), CancelColor);
  FList->setUpdatesEnabled(true);
}

void TUsersPanel::ListTapped(QListWidgetItem* AItem) {
  const int row = FList->row(AItem);
  if (row < 0) return;
  if (row == 0) {
    FSelector->SetActivePage(FSelAddPage, TTabTransition::Slide);
    ClearEdit();
    FEdit->setFocus();
  } else if (row < FList->count() - 1) {
    SelectUser(AItem->text());
  }
  ShowUserList(false);
}

// Leaving the edit (focus lost, or Enter). Only the first exit of an adding pass counts: the
// edit may report its end twice (Enter, then the loss of focus).
void TUsersPanel::UserAddExit() {
  if (FSelector->ActivePage() != FSelAddPage) return;
  const QString name = FEdit->text();
  // A name typed as "CHOOSE USER" means no user and is not added to the store.
  if (IsNoUserName(name)) {
    FSelector->SetActivePage(FSelPage, TTabTransition::Slide);
    SelectUser(QString());
    return;
  }
  if (dmDb) dmDb->AddUser(name);
  ClearEdit();
  FillUserList();
  FSelector->SetActivePage(FSelPage, TTabTransition::Slide);
  SelectUser(name);
}

void TUsersPanel::SelectorChanged() {
  if (FSelector->ActivePage() != FSelPage) ShowUserList(false);
}

void TUsersPanel::ShowUserLabel() { FSelector->SetActivePage(FSelPage, TTabTransition::Slide); }

void TUsersPanel::PutChooseUserIntoEdit() {
  FEdit->setText(ChooseUserText());
  FEditHoldsChooseUser = true;
}

void TUsersPanel::ClearEdit() {
  FEdit->clear();
  FEditHoldsChooseUser = false;
}

bool TUsersPanel::IsNoUserName(const QString& AName) {
  return AName.isEmpty() || AName.toUpper() == ChooseUserText().toUpper();
}

void TUsersPanel::SelectUser(const QString& AName) {
  FSelectedName = IsNoUserName(AName) ? QString() : AName;
  FUsersLabel->setText(FSelectedName.isEmpty() ? ChooseUserText() : FSelectedName);
  if (OnSetSelectedUser) OnSetSelectedUser(FSelectedName);
}

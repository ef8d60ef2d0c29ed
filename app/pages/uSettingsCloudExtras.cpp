#include "uSettingsCloudExtras.h"

#include <QLineEdit>

#include "Vek.Switch.h"
#include "uConfiguration.h"
#include "uSettingsList.h"

namespace {
using TConfig = TConfiguration;
QVariant None(const TConfig&) { return {}; }
}  // namespace

const TCloudHiddenEntries::TRow TCloudHiddenEntries::Rows[] = {
    {hkSwitch, "lbiCloudDefault", "Use Default Settings:", "swSettingsCloudDefault", erUseCloud,
     [](const TConfig& C) -> QVariant { return C.GetUseDefaultCloudBaseAddress(); }},
    {hkSwitch, "lbiCloudLocation", "Send Location to Cloud:", "swSettingsCloudLocation", erUseCloud,
     [](const TConfig& C) -> QVariant { return C.GetCloudSendLocation(); }},
    {hkSwitch, "lbiCloudMonitoring", "Monitoring", "swSettingsCloudMonitoring", erUseCloud,
     [](const TConfig& C) -> QVariant { return C.GetUseCloudMonitoring(); }},
    {hkHeading, "lbiSMTPHeading", "SMTP Settings:", "", erAlways, None},
    {hkSwitch, "lbiSMTPUse", "Use SMTP:", "swSettingsSMTPUse", erAlways,
     [](const TConfig& C) -> QVariant { return C.GetUseSMTP(); }},
    {hkEdit, "lbiSMTPAddress", "Host:", "edtSettingsSMTPAddress", erUseSMTP,
     [](const TConfig& C) -> QVariant { return C.GetSMTPHost(); }},
    {hkEdit, "lbiSMTPPort", "Port:", "edtSettingsSMTPPort", erUseSMTP,
     [](const TConfig& C) -> QVariant { return QString::number(C.GetSMTPPort()); }},
    {hkEdit, "lbiSMTPUser", "User:", "edtSettingsSMTPUser", erUseSMTP,
     [](const TConfig& C) -> QVariant { return C.GetSMTPUser(); }},
    {hkPassword, "lbiSMTPPass", "Password:", "edtSettingsSMTPPass", erUseSMTP,
     [](const TConfig& C) -> QVariant { return C.GetSMTPPass(); }},
    {hkHeading, "lbiEmailHeading", "Email Settings:", "", erAlways, None},
    {hkEdit, "lbiEmailTo", "Email To:", "edtSettingsEmailTo", erUseSMTP,
     [](const TConfig& C) -> QVariant { return C.GetEmailTo(); }},
    {hkEdit, "lbiEmailSubject", "Subject:", "edtSettingsEmailSubject", erUseSMTP,
     [](const TConfig& C) -> QVariant { return C.GetEmailSubject(); }},
    {hkHeading, "lbiProxyHeading", "Proxy Settings:", "", erAlways, None},
    {hkSwitch, "lbiProxyUse", "Use Proxy:", "swSettingsProxyUse", erAlways,
     [](const TConfig& C) -> QVariant { return C.GetUseProxy(); }},
    {hkEdit, "lbiProxyAddress", "Host:", "edtSettingsProxyAddress", erUseProxy,
     [](const TConfig& C) -> QVariant { return C.GetProxyHost(); }},
    {hkEdit, "lbiProxyPort", "Port:", "edtSettingsProxyPort", erUseProxy,
     [](const TConfig& C) -> QVariant { return QString::number(C.GetProxyPort()); }},
    {hkEdit, "lbiProxyUser", "User:", "edtSettingsProxyUser", erUseProxy,
     [](const TConfig& C) -> QVariant { return C.GetProxyUser(); }},
    {hkPassword, "lbiProxyPass", "Password:", "edtSettingsProxyPass", erUseProxy,
     [](const TConfig& C) -> QVariant { return C.GetProxyPass(); }},
};

TCloudHiddenEntries::TCloudHiddenEntries(TSettingsList& AList) {
  for (const TRow& row : Rows) {
    const QString entryName = QLatin1String(row.Entry);
    const QString caption = QLatin1String(row.Caption);
    if (row.Kind == hkHeading) {
      FEntries.push_back(AList.AddHeading(entryName, caption));
      continue;
    }
    TSettingsEntry* entry = AList.AddItem(entryName, caption);
    FEntries.push_back(entry);
    QWidget* control = nullptr;
    if (row.Kind == hkSwitch) {
      control = new TSwitch(QLatin1String(row.Control), entry);
      entry->AddControl(control);
    } else {
      auto* edit = new QLineEdit(entry);
      edit->setObjectName(QLatin1String(row.Control));
      if (row.Kind == hkPassword) edit->setEchoMode(QLineEdit::Password);
      entry->AddControl(edit, 1);
      control = edit;
    }
    FControls.push_back({&row, control});
  }
  Hide();
}

void TCloudHiddenEntries::Hide() {
  for (TSettingsEntry* entry : FEntries) entry->hide();
}

void TCloudHiddenEntries::Load(const TConfiguration& AConfig) {
  for (const TControl& control : FControls) {
    const QVariant value = control.Row->Value(AConfig);
    if (auto* edit = qobject_cast<QLineEdit*>(control.Widget))
      edit->setText(value.toString());
    else if (auto* button = qobject_cast<TSwitch*>(control.Widget))
      button->setChecked(value.toBool());
  }
}

void TCloudHiddenEntries::UpdateEnabling(const TConfiguration& AConfig) {
  for (const TControl& control : FControls) {
    switch (control.Row->Rule) {
      case erAlways:
        break;
      case erUseCloud:
        control.Widget->setEnabled(AConfig.GetUseCloud());
        break;
      case erUseSMTP:
        control.Widget->setEnabled(AConfig.GetUseSMTP());
        break;
      case erUseProxy:
        control.Widget->setEnabled(AConfig.GetUseProxy());
        break;
    }
  }
}

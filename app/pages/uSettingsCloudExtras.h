#pragma once
#include <QVariant>
#include <vector>

class QWidget;
class TConfiguration;
class TSettingsEntry;
class TSettingsList;

// The entries of the cloud page that the window never shows: the default-address, location and
// monitoring switches and the SMTP, e-mail and proxy settings. Their settings change only in the
// settings file; the page still fills the controls from it and keeps their enabling current.
class TCloudHiddenEntries {
 public:
  // Appends the entries to the cloud list.
  explicit TCloudHiddenEntries(TSettingsList& AList);

  void Hide();
  void Load(const TConfiguration& AConfig);
  void UpdateEnabling(const TConfiguration& AConfig);

 private:
  enum TRule { erAlways, erUseCloud, erUseSMTP, erUseProxy };
  enum TKind { hkHeading, hkSwitch, hkEdit, hkPassword };
  struct TRow {
    TKind Kind;
    const char* Entry;
    const char* Caption;
    const char* Control;
    TRule Rule;
    QVariant (*Value)(const TConfiguration&);
  };
  static const TRow Rows[];

  struct TControl {
    const TRow* Row;
    QWidget* Widget;
  };
  std::vector<TSettingsEntry*> FEntries;
  std::vector<TControl> FControls;
};

// The views embedded in the main window's pages, in creation order, and the
// lookups that route the window's commands to them.
#pragma once

#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/BaseQuillonForm.h"

namespace kvq {

class TSettingsFile;

// The five views in creation order: component name and the page they sit in.
struct TViewSlot {
  const char* ComponentName;
  TPageKind Page;
};
inline constexpr std::array<TViewSlot, 5> kViewSlots{{
    {"frmGraph", kPageGraph},
    {"frmDBView", kPageList},
    {"ViewForm", kPageList},
    {"frmStationDatabaseParms", kPageStation},
    {"frmSensorDatabaseParms", kPageSensor},
}};

// Makes the view of a slot (0..4 in kViewSlots order), parented to `page`
// and named after the slot; the page owns it. The program installs the real
// views; tests install recording ones.
using TViewFactory =
    std::function<TBaseQuillonForm*(int slot, TQuillonServices* services, QWidget* page)>;

// Empty TBaseQuillonForm stand-ins, for pages whose view is not built in.
TBaseQuillonForm* PlaceholderView(int slot, TQuillonServices* services, QWidget* page);

class TViewRegistry {
 public:
  // Appends a view (not owned: its page owns it).
  void Add(TBaseQuillonForm* view);
  // The views still alive, in creation order.
  std::vector<TBaseQuillonForm*> Views() const;

  // The last view whose TabKinds hold `kind` and SourceTypes hold `type`, or
  // null. Kinds and types above 7 never match.
  TBaseQuillonForm* LookupView(int kind, int type) const;
  // The first view serving `kind` and `type` that offers `op`; failing that,
  // with `fallback`, the first view offering `op` at all; else null.
  TBaseQuillonForm* LookupViewForOp(int op, int kind, int type, bool fallback) const;

  // Shows the views that serve `type` and hides the others (a hidden view
  // takes no room in its page).
  void ShowViewsForSource(int type);
  // Clear on every view, then the database view data cache.
  void ClearViews();

  // Every view's own keys, in section "TabSection" + its component name.
  void LoadSettings(const TSettingsFile& settings) const;
  void SaveSettings(TSettingsFile& settings) const;
  static std::string SettingsSection(const TBaseQuillonForm& view);

 private:
  std::vector<QPointer<TBaseQuillonForm>> views_;
};

}  // namespace kvq

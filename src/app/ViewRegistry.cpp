#include "app/ViewRegistry.h"

#include "data/DBCache.h"

namespace kvq {

namespace {

bool Small(int n) { return n >= 0 && n <= 7; }

}  // namespace

TBaseQuillonForm* PlaceholderView(int slot, TQuillonServices* services, QWidget* page) {
  return new TBaseQuillonForm(services, QString::fromLatin1(kViewSlots.at(static_cast<std::size_t>(slot)).ComponentName),
                              page);
}

void TViewRegistry::Add(TBaseQuillonForm* view) { views_.emplace_back(view); }

std::vector<TBaseQuillonForm*> TViewRegistry::Views() const {
  std::vector<TBaseQuillonForm*> alive;
  for (const auto& v : views_)
    if (v) alive.push_back(v.data());
  return alive;
}

TBaseQuillonForm* TViewRegistry::LookupView(int kind, int type) const {
  if (!Small(kind) || !Small(type)) return nullptr;
  TBaseQuillonForm* found = nullptr;
  for (TBaseQuillonForm* v : Views())
    if (InSet(v->TabKinds(), kind) && InSet(v->SourceTypes(), type)) found = v;
  return found;
}

TBaseQuillonForm* TViewRegistry::LookupViewForOp(int op, int kind, int type, bool fallback) const {
  const std::vector<TBaseQuillonForm*> views = Views();
  for (TBaseQuillonForm* v : views)
    if (InSet(v->TabKinds(), kind) && InSet(v->Ops(), op) && InSet(v->SourceTypes(), type)) return v;
  if (fallback)
    for (TBaseQuillonForm* v : views)
      if (InSet(v->Ops(), op)) return v;
  return nullptr;
}

void TViewRegistry::ShowViewsForSource(int type) {
  for (TBaseQuillonForm* v : Views()) v->setVisible(InSet(v->SourceTypes(), type));
}

void TViewRegistry::ClearViews() {
  for (TBaseQuillonForm* v : Views()) v->Clear();
  ViewDataCache().Clear();
}

std::string TViewRegistry::SettingsSection(const TBaseQuillonForm& view) {
  return "TabSection" + view.ComponentName().toStdString();
}

void TViewRegistry::LoadSettings(const TSettingsFile& settings) const {
  for (TBaseQuillonForm* v : Views()) v->LoadSettings(settings, SettingsSection(*v));
}

void TViewRegistry::SaveSettings(TSettingsFile& settings) const {
  for (TBaseQuillonForm* v : Views()) v->SaveSettings(settings, SettingsSection(*v));
}

}  // namespace kvq

#include "app/MenuMerge.h"

#include <QAction>
#include <QMenu>

namespace kvq {

void ClearMergedMenu(QMenu* slot) {
  slot->menuAction()->setVisible(false);
  // the actions belong to the view: clear() only forgets them
  slot->clear();
}

void MergeViewMenu(QMenu* slot, QMenu* viewMenu) {
  ClearMergedMenu(slot);
  if (!viewMenu || viewMenu->actions().isEmpty()) return;
  QAction* first = viewMenu->actions().first();
  slot->setTitle(first->text());
  if (QMenu* sub = first->menu()) slot->addActions(sub->actions());
  slot->menuAction()->setVisible(true);
}

}  // namespace kvq

// The merge slot of the menu bar: while a view's page is active, the first
// item of the view's popup menu stands in the menu bar between "&Filter" and
// "&View".
#pragma once

class QMenu;

namespace kvq {

// Empties and hides `slot`. Actions the slot shares with a view stay alive.
void ClearMergedMenu(QMenu* slot);

// Clears `slot`, then, when `viewMenu` has items, gives the slot the caption
// of the first one and one entry per sub-item of it (the view's own actions:
// same caption, hint and effect) and shows it. Neither menu is owned.
void MergeViewMenu(QMenu* slot, QMenu* viewMenu);

}  // namespace kvq

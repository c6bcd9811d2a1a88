#pragma once

#include "core/progress/Progress.h"

#include <functional>

namespace gw {

class ProgressDialog;

// Runs work on a thread of its own while this, the user-interface thread, stays live and
// shows the work's progress in dialog (already shown). What the work reports through the
// Progress and UserPrompts it is handed reaches dialog and prompts on this thread; its
// questions wait for their answers, and its CheckCancelButton sees the dialog's Cancel
// presses. A press the work has not taken within a second (it is stuck in a read that
// does not end, say) is put to the user here as "Cancel?"; on Yes the function returns
// at once, leaving the work to end on its own: every Cancel check of it then sees Cancel,
// its questions are answered Yes and its reports dropped. So work must own, or share,
// all it touches. Returns whether the work ended.
bool RunInBackground(ProgressDialog& dialog, UserPrompts& prompts, std::function<void(Progress&, UserPrompts&)> work);

}  // namespace gw

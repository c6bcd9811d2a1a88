#pragma once

#include <optional>
#include <string>

namespace gw {

// What a long job reports to the user as it runs, and how it learns of a Cancel press.
// Each face (the GUI's dialog, the terminal) implements it.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetStep(int step) = 0;
    // Both return the previous position.
    virtual int SetPos(int pos) = 0;
    virtual int StepIt() = 0;
    // Whether Cancel was pressed since the last call; each press is seen once.
    virtual bool CheckCancelButton() = 0;
    // Whether the program is being stopped: the job that runs is cancelled, and the jobs
    // not yet begun are not run.
    virtual bool Stopping() const { return false; }
};

// The questions and messages a job puts to the user.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A message for the user, in the program's own words.
    virtual void ShowMessage(const std::string& text) = 0;
    // A Yes/No question ("Cancel?"); true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // The palette file for the MAP file; nothing when the user cancels.
    virtual std::optional<std::string> ChoosePaletteFile() = 0;
};

// How every job starts its progress display: position 0 of 0..steps, step 1, status.
// (Every range starts at 0, so the order of these calls shows nothing different.)
inline void BeginJob(Progress& progress, int steps, const std::string& status) {
    progress.SetPos(0);
    progress.SetRange(0, steps);
    progress.SetStep(1);
    progress.SetStatus(status);
}

// The question a cancellable job asks after a Cancel press; true when the job ends.
inline bool ConfirmCancel(Progress& progress, UserPrompts& prompts) {
    return progress.CheckCancelButton() && prompts.AskYesNo("Cancel?");
}

}  // namespace gw

#pragma once

#include "core/progress/Progress.h"
#include "core/progress/ProgressState.h"

#include <optional>
#include <string>

namespace gw::cli {

// Ctrl-C while a command runs: the first press cancels the running job (as "Cancel?"
// answered Yes would), a second one ends the program with status 130. SIGTERM and
// SIGHUP cancel every job from then on, so that the command ends cleanly, its
// temporaries removed; a second one ends the program at once.
void InstallInterruptHandler();

// 128 plus the signal number once SIGTERM or SIGHUP was received (143, 129): the
// command's exit status whatever it returned.
std::optional<int> EndingSignalStatus();

// Progress on a terminal: the job's status and percentage redrawn on one line of
// stderr, when drawing is on. Cancel presses come from the interrupt handler.
class TerminalProgress : public Progress {
public:
    explicit TerminalProgress(bool draw) : m_draw(draw) {}
    ~TerminalProgress() override;

    void SetStatus(const std::string& text) override;
    void SetRange(int lower, int upper) override { m_state.SetRange(lower, upper); }
    void SetStep(int step) override { m_state.SetStep(step); }
    int SetPos(int pos) override;
    int StepIt() override;
    bool CheckCancelButton() override;
    bool Stopping() const override;

    // Clears the progress line, so that other output starts on an empty line.
    void EndLine();

private:
    void Redraw();

    bool m_draw;
    bool m_lineOpen = false;
    std::string m_status;
    std::string m_shown;
    ProgressState m_state;
};

// Messages and questions on the terminal: messages go to stderr, "Cancel?" is answered
// Yes (it is asked only after Ctrl-C) and shown as "cancelled", and the palette is the
// one given on the command line.
class TerminalPrompts : public UserPrompts {
public:
    TerminalPrompts(TerminalProgress& progress, std::optional<std::string> palette)
        : m_progress(progress), m_palette(std::move(palette)) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;
    std::optional<std::string> ChoosePaletteFile() override { return m_palette; }

private:
    TerminalProgress& m_progress;
    std::optional<std::string> m_palette;
};

}  // namespace gw::cli

#pragma once

class QWidget;

namespace gw {

class UserChoices;

// What a command of a document needs of the frame: the main window, which owns its
// dialogs and is disabled while its progress dialog is up, and the user's choices.
struct CommandContext {
    QWidget* window;
    UserChoices& choices;
};

}  // namespace gw

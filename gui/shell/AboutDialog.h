#pragma once

#include <QDialog>

namespace gw {

class StaticLink;
class UserChoices;

// Help > About Gridwright: the program's icon, name and version, what it is for, and
// the link to the discussion page.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersionText = "Gridwright Version 1.9";
    static constexpr const char* kPurposeText = "Theater terrain and campaign files from elevation and vector data";
    static constexpr const char* kDiscussionAddress = "https://orvane.example/gridwright/discussion";

    // An about box whose link opens through choices, which must outlive it.
    explicit AboutDialog(UserChoices& choices, QWidget* parent = nullptr);

    StaticLink* link() const { return m_link; }

private:
    StaticLink* m_link;
};

}  // namespace gw

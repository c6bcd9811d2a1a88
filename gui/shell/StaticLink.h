#pragma once

#include <QColor>
#include <QLabel>
#include <QUrl>

namespace gw {

class UserChoices;

// A text that is a link: blue and underlined, with the hand cursor over it. A left
// click opens the address with the desktop's default handler (through choices); after
// a successful open the text turns purple, and when it cannot be opened the program
// beeps and the text stays blue.
class StaticLink : public QLabel {
    Q_OBJECT
public:
    static inline const QColor kUnvisited{0, 0, 255};
    static inline const QColor kVisited{128, 0, 128};

    // A link showing and opening address; choices must outlive it.
    StaticLink(const QString& address, UserChoices& choices, QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setColour(const QColor& colour);

    UserChoices& m_choices;
    QColor m_colour;
};

}  // namespace gw

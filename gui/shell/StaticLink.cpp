#include "gui/shell/StaticLink.h"

#include "gui/common/UserChoices.h"

#include <QMouseEvent>

namespace gw {

StaticLink::StaticLink(const QString& address, UserChoices& choices, QWidget* parent)
    : QLabel(address, parent), m_choices(choices) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setColour(kUnvisited);
}

void StaticLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    const QUrl address = QUrl::fromUserInput(text());
    if (address.isValid() && m_choices.OpenUrl(address)) {
        setColour(kVisited);
    } else {
        m_choices.Beep();
    }
}

void StaticLink::setColour(const QColor& colour) {
    m_colour = colour;
    QPalette shown = palette();
    shown.setColor(QPalette::WindowText, colour);
    setPalette(shown);
}

}  // namespace gw

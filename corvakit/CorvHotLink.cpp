// See CorvHotLink.h. The press, the capture of the pointer while the button is held and the
// click on a release inside are the button's own; the link paints itself and sets the pointer.
#include "corvakit/CorvHotLink.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace corvakit {

namespace {
// The face the link's text is drawn in (the system's sans-serif face stands in where it is absent).
const QString kFace = QStringLiteral("MS Sans Serif");
constexpr int kPoints = 8;
} // namespace

CorvHotLink::CorvHotLink(const QString& caption, QWidget* parent)
    : QAbstractButton(parent) {
    setObjectName(QStringLiteral("CorvHotLink"));
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFont(CreatePointFont(kFace, kPoints, false, false, true));
    setMouseTracking(true);
}

QString CorvHotLink::caption() const {
    return text().left(kMaxCaption);
}

QFont CorvHotLink::CreatePointFont(const QString& face, int points, bool bold, bool italic, bool underline) {
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QSize CorvHotLink::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(caption()) + 2, metrics.height() + 2};
}

void CorvHotLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setFont(font());
    painter.setPen(QColor(0, 0, 255));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption());
}

void CorvHotLink::mouseMoveEvent(QMouseEvent* event) {
    setCursor(rect().contains(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QAbstractButton::mouseMoveEvent(event);
}

} // namespace corvakit

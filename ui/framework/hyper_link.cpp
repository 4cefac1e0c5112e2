// CXTHyperLink, a link label: shows its caption as a link and opens its target when clicked.
#include "ui/framework/hyper_link.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>

namespace tarnwick {

CXTHyperLink::CXTHyperLink(const QString& caption, QWidget* parent)
    : QLabel(caption, parent), m_target(caption) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Link));
    setPalette(linkPalette);
    UpdateToolTip();
}

void CXTHyperLink::SetURL(const QString& target) {
    m_target = target;
    UpdateToolTip();
}

void CXTHyperLink::EnableToolTips(bool enable) {
    m_toolTips = enable;
    UpdateToolTip();
}

void CXTHyperLink::UpdateToolTip() {
    setToolTip(m_toolTips ? m_target : QString());
}

void CXTHyperLink::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    // The underline of the font would fall below a label exactly one line high (the e-mail
    // label is): draw it on the label's last row at the lowest.
    const QFontMetrics metrics = fontMetrics();
    const int y = std::min(metrics.ascent() + metrics.underlinePos(), height() - 1);
    const int width = std::min(metrics.horizontalAdvance(text()), contentsRect().width());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawLine(contentsRect().left(), y, contentsRect().left() + width - 1, y);
}

void CXTHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    // With no handler for the address the desktop opens nothing, and the program says nothing.
    QDesktopServices::openUrl(QUrl(m_target));
    event->accept();
}

void CXTHyperLink::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    // The dialog sets every control's cursor: the hand shows the link unless the wait cursor is up.
    if (cursor().shape() == Qt::ArrowCursor) {
        setCursor(Qt::PointingHandCursor);
    }
}

}  // namespace tarnwick

// CXTHyperLink, a link label: shows its caption as a link and opens its target when clicked.
#pragma once

#include <QLabel>
#include <QString>

namespace tarnwick {

class CXTHyperLink final : public QLabel {
    Q_OBJECT
public:
    CXTHyperLink(const QString& caption, QWidget* parent);

    // The address a click opens; until it is set, the caption is the target.
    void SetURL(const QString& target);
    QString GetURL() const { return m_target; }
    // Shows the target as the label's tooltip (the default) or not.
    void EnableToolTips(bool enable);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void UpdateToolTip();

    QString m_target;
    bool m_toolTips = true;
};

}  // namespace tarnwick

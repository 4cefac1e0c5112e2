// CWebBrowser2, the browser panel: a light HTML view that loads its pages over the network
// without ever blocking the window.
#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarnwick {

enum class ScrollBars { Horizontal, Vertical, Both };

class CWebBrowser2 final : public QTextBrowser {
    Q_OBJECT
public:
    explicit CWebBrowser2(QWidget* parent);

    // Starts loading the page and returns at once; the page replaces the panel's contents when
    // it has arrived, or a short error text does. The program passes null for the optional
    // parameters, and the panel uses none of them: it has one frame, no cache or history, and
    // sends plain GET requests.
    void Navigate(const QString& url, const QVariant* flags, const QVariant* targetFrameName,
                  const QVariant* postData, const QVariant* headers);
    // Hidden scroll bars stay hidden whatever the page's size.
    void ShowScrollBar(ScrollBars bars, bool show);

    QUrl CurrentPage() const { return m_page; }

protected:
    // Loads nothing a page names, whatever its scheme: see the definition.
    QVariant loadResource(int type, const QUrl& name) override;
    // Shows a page's tooltips (its title attributes) as plain text.
    bool viewportEvent(QEvent* event) override;

signals:
    // A navigation has ended, with its page or with the error text.
    void pageFinished(bool loaded);

private:
    void OnPageArrived(QNetworkReply& reply);
    void OnLinkClicked(const QUrl& link);

    QNetworkAccessManager* m_network;  // owned by this panel as its QObject child
    QPointer<QNetworkReply> m_loading;
    QUrl m_page;
};

}  // namespace tarnwick

// CWebBrowser2, the browser panel: a light HTML view that loads its pages over the network
// without ever blocking the window.
#include "ui/framework/web_browser.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>

namespace tarnwick {
namespace {

// Long enough for a slow site, short enough that a site that never answers ends in the error text.
constexpr int kTransferTimeoutMs = 30000;

QString PageErrorText() {
    return QStringLiteral("该页无法显示。");
}

// The charset the server names first, else the page's own (byte-order mark, meta tag), else UTF-8.
QString DecodePage(const QByteArray& body, const QByteArray& contentType) {
    const qsizetype charset = contentType.toLower().indexOf("charset=");
    if (charset >= 0) {
        QByteArray name = contentType.mid(charset + 8).split(';').first().trimmed();
        QStringDecoder named(name.replace('"', "").constData());
        if (named.isValid()) {
            return named(body);
        }
    }
    QStringDecoder fromPage = QStringDecoder::decoderForHtml(body);
    return fromPage.isValid() ? QString(fromPage(body)) : QString::fromUtf8(body);
}

}  // namespace

CWebBrowser2::CWebBrowser2(QWidget* parent)
    : QTextBrowser(parent), m_network(new QNetworkAccessManager(this)) {
    // Links are ours to follow: web pages in the panel, e-mail addresses on the desktop.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &CWebBrowser2::OnLinkClicked);
}

void CWebBrowser2::Navigate(const QString& url, const QVariant* /*flags*/,
                            const QVariant* /*targetFrameName*/, const QVariant* /*postData*/,
                            const QVariant* /*headers*/) {
    // The newer navigation wins; the older reply ends as aborted and is dropped.
    if (QNetworkReply* previous = m_loading) {
        m_loading.clear();
        previous->abort();
    }
    m_page = QUrl(url);
    QNetworkRequest request(m_page);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    m_loading = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply == m_loading) {
            OnPageArrived(*reply);
        }
    });
}

void CWebBrowser2::ShowScrollBar(ScrollBars bars, bool show) {
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    if (bars != ScrollBars::Vertical) {
        setHorizontalScrollBarPolicy(policy);
    }
    if (bars != ScrollBars::Horizontal) {
        setVerticalScrollBarPolicy(policy);
    }
}

void CWebBrowser2::OnPageArrived(QNetworkReply& reply) {
    m_loading.clear();
    const bool loaded = reply.error() == QNetworkReply::NoError;
    if (!loaded) {
        setPlainText(PageErrorText());
        emit pageFinished(false);
        return;
    }
    // Redirects are followed: relative links resolve against the page that arrived.
    m_page = reply.url();
    const QByteArray contentType = reply.rawHeader("Content-Type");
    const QString text = DecodePage(reply.readAll(), contentType);
    document()->setBaseUrl(m_page);
    if (contentType.toLower().startsWith("text/plain")) {
        setPlainText(text);
    } else {
        setHtml(text);
    }
    emit pageFinished(true);
}

void CWebBrowser2::OnLinkClicked(const QUrl& link) {
    // A page from the web must not open local files, resources or data in the panel.
    const QUrl target = m_page.resolved(link);
    const QString scheme = target.scheme().toLower();
    if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")) {
        Navigate(target.toString(), nullptr, nullptr, nullptr, nullptr);
    } else if (scheme == QStringLiteral("mailto")) {
        QDesktopServices::openUrl(target);  // as the e-mail link label does
    }
}

}  // namespace tarnwick

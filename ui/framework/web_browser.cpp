// CWebBrowser2, the browser panel: a light HTML view that loads its pages over the network
// without ever blocking the window.
#include "ui/framework/web_browser.h"

#include <QDesktopServices>
#include <QHelpEvent>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

#include "ui/framework/text_conversion.h"

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
    return fromPage.isValid() ? QString(fromPage(body)) : Utf8Text(body);
}

// Stands in for every image a page names, as large as Qt's own icon for a missing image.
QImage BlankImage() {
    QImage blank(16, 16, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
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

QVariant CWebBrowser2::loadResource(int type, const QUrl& /*name*/) {
    // A page from the web must not read the program's files: a local path, file:, qrc: or data:
    // (and a FIFO or a terminal there would hold the window). Web images are not fetched either.
    // The answer is never empty: on an empty one the document opens file: and data: itself, and
    // an image is then read from its name as a file.
    if (type == QTextDocument::ImageResource) {
        return BlankImage();
    }
    return QString();
}

bool CWebBrowser2::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTextBrowser::viewportEvent(event);
    }
    // A tooltip that looks like HTML is shown as rich text, and would load what its tags name.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = cursorForPosition(help->pos()).charFormat().toolTip();
    QToolTip::showText(help->globalPos(), tip.isEmpty() ? tip : Qt::convertFromPlainText(tip),
                       viewport());
    return true;
}

}  // namespace tarnwick

// The browser panel against an HTTP server of the test's own on loopback: the start-up page loads
// without blocking, links load in the panel, no scroll bars, and no message without a server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolTip>
#include <map>

#include "tests/ui/ui_test_support.h"
#include "ui/framework/web_browser.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

// Answers each GET with the page of its path, and keeps the paths asked for.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::map<QByteArray, QByteArray> pages)
        : m_pages(std::move(pages)) {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* client = m_server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, [this, client] { Answer(*client); });
            QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString Page(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2")
            .arg(m_server.serverPort())
            .arg(QLatin1String(path));
    }
    QList<QByteArray> requested;

private:
    void Answer(QTcpSocket& client) {
        if (!client.canReadLine()) {
            return;
        }
        // One answer per connection: the rest of the request is not read.
        QObject::disconnect(&client, &QTcpSocket::readyRead, nullptr, nullptr);
        const QByteArray path = client.readLine().split(' ').value(1);
        requested.append(path);
        const QByteArray body = m_pages.count(path) ? m_pages.at(path) : QByteArray();
        const QByteArray status = body.isEmpty() ? "404 Not Found" : "200 OK";
        client.write("HTTP/1.0 " + status +
                     "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        client.disconnectFromHost();
    }

    std::map<QByteArray, QByteArray> m_pages;
    QTcpServer m_server;
};

class BrowserPanelTest : public ::testing::Test {
protected:
    void TearDown() override { CTarnwickDlg::SetShowPageAddress({}); }

    static CWebBrowser2& Panel(const CTarnwickDlg& dialog) {
        return dialog.Controls().Get<CWebBrowser2>(kIdBrowserPanel);
    }
    static bool WaitForPage(QSignalSpy& finished, int count) {
        return QTest::qWaitFor([&] { return finished.count() >= count; }, 5000);
    }
};

TEST_F(BrowserPanelTest, ShowsThePageWithoutScrollBarsAndFollowsItsLinksInThePanel) {
    const QByteArray longPage =
        "<p><a href=\"next.html\">更多</a></p>" + QByteArray("<p>一行又一行</p>").repeated(40);
    LoopbackHttpServer server({{"/show.html", longPage}, {"/next.html", "<p>下一页</p>"}});
    CTarnwickDlg::SetShowPageAddress(server.Page("/show.html"));
    test::CountingAgent agent;
    test::MessageBoxCloser closer;
    CTarnwickDlg dialog(agent, test::Skins());
    CWebBrowser2& panel = Panel(dialog);
    QSignalSpy finished(&panel, &CWebBrowser2::pageFinished);
    ASSERT_TRUE(finished.isValid());
    EXPECT_EQ(finished.count(), 0) << "the window is not held up by the page";
    dialog.show();

    ASSERT_TRUE(WaitForPage(finished, 1));
    EXPECT_TRUE(finished[0][0].toBool());
    EXPECT_TRUE(panel.toPlainText().contains(QStringLiteral("一行又一行")));
    EXPECT_EQ(panel.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(panel.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(panel.verticalScrollBar()->isVisible());

    const QTextCursor link = panel.document()->find(QStringLiteral("更多"));
    ASSERT_FALSE(link.isNull());
    QTextCursor inLink = link;
    inLink.setPosition(link.selectionStart() + 1);
    QTest::mouseClick(panel.viewport(), Qt::LeftButton, {}, panel.cursorRect(inLink).center());
    ASSERT_TRUE(WaitForPage(finished, 2));
    EXPECT_EQ(panel.toPlainText(), QStringLiteral("下一页"));
    EXPECT_EQ(server.requested, QList<QByteArray>({"/show.html", "/next.html"}));
    EXPECT_TRUE(closer.Boxes().empty());
}

TEST_F(BrowserPanelTest, FollowsNoLinkButWebLinks) {
    LoopbackHttpServer server(std::map<QByteArray, QByteArray>{{"/show.html", "<p>首页</p>"}});
    CTarnwickDlg::SetShowPageAddress(server.Page("/show.html"));
    test::CountingAgent agent;
    CTarnwickDlg dialog(agent, test::Skins());
    QSignalSpy finished(&Panel(dialog), &CWebBrowser2::pageFinished);
    ASSERT_TRUE(WaitForPage(finished, 1));
    for (const char* link : {"file:///etc/hostname", "qrc:/show.html", "data:text/html,<p>x</p>",
                             "ftp://127.0.0.1/show.html", "javascript:void(0)"}) {
        emit Panel(dialog).anchorClicked(QUrl(QString::fromUtf8(link)));
    }
    QTest::qWait(300);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(Panel(dialog).CurrentPage(), QUrl(server.Page("/show.html")));
    EXPECT_EQ(Panel(dialog).toPlainText(), QStringLiteral("首页"));
}

TEST_F(BrowserPanelTest, DrawsNoLocalImageAndShowsTooltipsAsText) {
    QTemporaryDir dir;
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString path = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(red.save(path));
    const QString image = QStringLiteral("<img src=\"%1\" width=32 height=32>");
    const std::map<std::string, QString> pages = {
        {"local path", image.arg(path)},
        {"file: URL", image.arg(QUrl::fromLocalFile(path).toString())},
        {"tooltip",
         QStringLiteral("<span title=\"%1\">XXXXXXXX</span>").arg(image.arg(path).toHtmlEscaped())},
    };
    for (const auto& [name, page] : pages) {
        SCOPED_TRACE(name);
        CWebBrowser2 panel(nullptr);
        panel.setHtml(page);
        panel.show();
        EXPECT_NE(panel.viewport()->grab().toImage().pixelColor(8, 8), QColor(Qt::red));
        QHelpEvent hover(QEvent::ToolTip, {8, 8}, panel.viewport()->mapToGlobal(QPoint(8, 8)));
        QApplication::sendEvent(panel.viewport(), &hover);
        EXPECT_FALSE(QToolTip::text().contains(u"<img"));
    }
}

TEST_F(BrowserPanelTest, WithoutAServerShowsAShortTextAndNoMessage) {
    QTcpServer closed;  // a free loopback port, closed again: nothing listens there
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    CTarnwickDlg::SetShowPageAddress(
        QStringLiteral("http://127.0.0.1:%1/show.html").arg(closed.serverPort()));
    closed.close();
    test::CountingAgent agent;
    test::MessageBoxCloser closer;
    CTarnwickDlg dialog(agent, test::Skins());
    QSignalSpy finished(&Panel(dialog), &CWebBrowser2::pageFinished);
    ASSERT_TRUE(WaitForPage(finished, 1));
    EXPECT_FALSE(finished[0][0].toBool());
    EXPECT_EQ(Panel(dialog).toPlainText(), QStringLiteral("该页无法显示。"));
    EXPECT_TRUE(closer.Boxes().empty());
}

}  // namespace
}  // namespace tarnwick

// The application shell: the skin beside the program, the system menu and the about box, the link
// labels, and dialogs that keep their own settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>

#include "tests/ui/ui_test_support.h"
#include "ui/about_dlg.h"
#include "ui/framework/hyper_link.h"
#include "ui/framework/skin_manager.h"
#include "ui/framework/system_menu.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

TEST(SkinTest, FolderComesFromTheProgramPathAloneNeverTheWorkingDirectory) {
    const std::map<QString, QString> folders = {
        {QStringLiteral("/opt/tarnwick/bin/Tarnwick"), QStringLiteral("/opt/tarnwick/bin/Styles/")},
        {QStringLiteral("/Tarnwick"), QStringLiteral("/Styles/")},
        {QStringLiteral("Tarnwick"), QStringLiteral("/Styles/")},
    };
    for (const auto& [program, folder] : folders) {
        EXPECT_EQ(SkinFolder(program), folder) << program.toStdString();
    }
}

TEST(SkinTest, AppliedFromBesideTheProgramAndQuietlyLeftOutWhenMissingOrUnreadable) {
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QString skinFolder = SkinFolder(program.filePath(QStringLiteral("Tarnwick")));
    const QString skinFile = skinFolder + QString::fromLatin1(kSkinFileName);
    const auto sheetAfterLoading = [&] {
        qApp->setStyleSheet({});
        test::Skins().SetApplyOptions(kSkinApplyFrame);
        test::MessageBoxCloser closer;
        LoadProgramSkin(test::Skins(), skinFolder);
        QApplication::processEvents();
        EXPECT_TRUE(closer.Boxes().empty());
        EXPECT_EQ(test::Skins().GetApplyOptions(), kSkinApplyFrame | kSkinApplyMetrics);
        return qApp->styleSheet();
    };
    EXPECT_EQ(sheetAfterLoading(), QString()) << "no Styles folder";
    ASSERT_TRUE(QDir(program.path()).mkpath(skinFile));
    EXPECT_EQ(sheetAfterLoading(), QString()) << "a folder in the skin file's place";
    ASSERT_TRUE(QDir(program.path()).rmdir(skinFile));
    const QString sheet = QStringLiteral("QDialog { background-color: #f0f0f0; }");
    QFile file(skinFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(sheet.toUtf8()) > 0);
    file.close();
    EXPECT_EQ(sheetAfterLoading(), sheet);
    qApp->setStyleSheet({});
}

TEST(SkinTest, ShippedSkinParsesAndKeepsTheTemplateProportionsAndFont) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && text.contains(u"stylesheet", Qt::CaseInsensitive)) {
                warnings.append(text);
            }
        });
    ASSERT_TRUE(test::Skins().LoadSkin(QString::fromUtf8(TARNWICK_SKIN_SOURCE), nullptr));
    {
        test::CountingAgent agent;
        CTarnwickDlg dialog(agent, test::Skins());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.size(), QSize(708, 473));
        for (const int id : {kIdVlanList, kIdInterfaceList}) {
            const auto& list = dialog.Controls().Get<ReportListView>(id);
            EXPECT_EQ(list.horizontalHeader()->font().family(), dialog.font().family()) << id;
        }
    }
    qInstallMessageHandler(previous);
    qApp->setStyleSheet({});
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog.show();
        QApplication::setActiveWindow(&m_dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    }
    void TearDown() override {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    }

    static QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

    // Acts on the next window that goes modal over the dialog, from inside its own event loop;
    // one still open two seconds later is ended with the code 42.
    void OnNextModal(std::function<void(QDialog&)> act) {
        auto* poll = new QTimer(&m_dialog);
        QObject::connect(poll, &QTimer::timeout, [this, poll, act = std::move(act)] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!modal || modal == &m_dialog || !modal->isVisible()) {
                return;
            }
            poll->deleteLater();
            QTimer::singleShot(2000, modal, [modal] { modal->done(42); });
            act(*modal);
        });
        poll->start(5);
    }

    test::CountingAgent m_agent;
    CTarnwickDlg m_dialog{m_agent, test::Skins()};
};

TEST_F(ShellTest, SystemMenuOpensOnTheBackgroundAltSpaceAndTheMenuKeyOnly) {
    QWindow& window = *m_dialog.windowHandle();
    const QPoint background =
        DluToPixels(DluRect{250, 10, 0, 0}, m_dialog.Controls().units).topLeft();
    const QPoint onVlanList = m_dialog.Controls().Find(kIdVlanList)->geometry().center();
    const struct {
        const char* name;
        std::function<void()> open;
        bool opens;
    } openers[] = {
        {"right-click on the background",
         [&] { QTest::mouseClick(&window, Qt::RightButton, {}, background); }, true},
        {"Alt+Space", [&] { QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier); }, true},
        // What X11 sends for the context-menu key; the offscreen platform sends nothing.
        {"context-menu key",
         [] {
             QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
             QApplication::sendEvent(QApplication::focusWidget(), &key);
         },
         true},
        {"right-click on a list",
         [&] { QTest::mouseClick(&window, Qt::RightButton, {}, onVlanList); }, false},
    };
    for (const auto& opener : openers) {
        SCOPED_TRACE(opener.name);
        opener.open();
        QMenu* menu = OpenMenu();
        ASSERT_EQ(menu != nullptr, opener.opens);
        if (!menu) {
            continue;
        }
        QStringList items;
        for (const QAction* item : menu->actions()) {
            items.append(item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        EXPECT_EQ(items, QStringList({QStringLiteral("关闭(&C)\tAlt+F4"), QStringLiteral("-"),
                                      QStringLiteral("关于 Tarnwick(&A)...")}));
        menu->close();
    }
    // An empty About text (string 101) adds neither the separator nor the item.
    QWidget other;
    SystemMenu bare(other, [](unsigned) {});
    bare.AppendAboutItem({});
    EXPECT_EQ(bare.Menu().actions().size(), 1);
    // "关闭" ends the dialog, as the close box does.
    openers[1].open();
    QTest::keyClick(OpenMenu(), Qt::Key_C);
    EXPECT_FALSE(m_dialog.isVisible());
}

TEST_F(ShellTest, AboutBoxOpensModallyFromTheSystemMenuAndClosesEveryWay) {
    const std::map<std::string, std::pair<std::function<void(QDialog&)>, int>> closings = {
        {"确定",
         {[](QDialog& about) { about.findChild<QPushButton*>(QStringLiteral("1"))->click(); },
          QDialog::Accepted}},
        {"Enter",
         {[](QDialog& about) { QTest::keyClick(&about, Qt::Key_Return); }, QDialog::Accepted}},
        {"Esc",
         {[](QDialog& about) { QTest::keyClick(&about, Qt::Key_Escape); }, QDialog::Rejected}},
        {"close box", {[](QDialog& about) { about.close(); }, QDialog::Rejected}},
    };
    for (const auto& [name, closing] : closings) {
        SCOPED_TRACE(name);
        const auto& [close, expectedResult] = closing;
        QPointer<QDialog> shown;
        int result = -1;
        QStringList texts;
        OnNextModal([&, close = close](QDialog& about) {
            shown = &about;
            EXPECT_EQ(about.parentWidget(), &m_dialog);
            EXPECT_TRUE(about.isModal());
            for (const QWidget* control : static_cast<CAboutDlg&>(about).Controls().widgets) {
                const auto* label = qobject_cast<const QLabel*>(control);
                if (label) {
                    texts.append(label->pixmap().isNull() ? label->text() : QStringLiteral("icon"));
                }
            }
            QObject::connect(&about, &QDialog::finished, [&](int code) { result = code; });
            close(about);
        });
        QApplication::setActiveWindow(&m_dialog);
        QTest::keyClick(m_dialog.windowHandle(), Qt::Key_Space, Qt::AltModifier);
        ASSERT_NE(OpenMenu(), nullptr);
        QTest::keyClick(OpenMenu(), Qt::Key_A);  // the item's access key

        EXPECT_EQ(texts, QStringList({QStringLiteral("icon"), QStringLiteral("ziTarnwick 1.1 版"),
                                      QStringLiteral("版权所有 (C) 2026 Tarnwick")}));
        EXPECT_EQ(result, expectedResult);
        EXPECT_TRUE(shown.isNull()) << "destroyed after its run";
    }
}

TEST_F(ShellTest, LinksShowTheirAddressesAndCarryTheirTargets) {
    const QString home = QString::fromUtf8(kHomePageAddress);
    const QString email = QString::fromUtf8(kEmailAddress);
    const std::map<int, std::pair<QString, QString>> links = {
        {kIdHomePageLink, {home, home}},
        {kIdEmailLink, {email, QStringLiteral("mailto:") + email}}};
    for (const auto& [id, captionAndTarget] : links) {
        const auto& link = m_dialog.Controls().Get<CXTHyperLink>(id);
        EXPECT_EQ(link.text(), captionAndTarget.first);
        EXPECT_EQ(link.GetURL(), captionAndTarget.second);
        EXPECT_LE(link.fontMetrics().horizontalAdvance(link.text()), link.width()) << id;
    }
}

TEST(TwoDialogsTest, EachKeepsItsOwnSettingsAndANewOneStartsWithTheDefaults) {
    test::CountingAgent firstAgent;
    test::CountingAgent secondAgent;
    CTarnwickDlg first(firstAgent, test::Skins());
    first.Controls().Get<QLineEdit>(kIdIpAddress).setText(QStringLiteral("127.0.0.1:9"));
    first.Controls().Get<QLineEdit>(kIdReadCommunity).setText(QStringLiteral("first"));
    first.Controls().Get<QPushButton>(kIdOk).click();
    CTarnwickDlg second(secondAgent, test::Skins());

    EXPECT_EQ(firstAgent.lastSettings.readCommunity, "first");
    EXPECT_EQ(second.State().settings.readCommunity, "public");
    EXPECT_EQ(second.Controls().Get<QLineEdit>(kIdReadCommunity).text(), QStringLiteral("public"));
}

}  // namespace
}  // namespace tarnwick

// The main window as template 102 lays it out, and its state right after start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <map>

#include "tests/ui/ui_test_support.h"
#include "ui/tarnwick_dlg.h"
#include "ui/tarnwick_dlg_template.h"

namespace tarnwick {
namespace {

TEST(DialogUnitsTest, CoordinatesScaleByQuarterAndEighthRoundedToNearest) {
    const DialogBaseUnits units{6, 17};
    const struct {
        int dlu;
        int x;
        int y;
    } cases[] = {{0, 0, 0}, {1, 2, 2}, {3, 5, 6}, {4, 6, 9}, {8, 12, 17}, {472, 708, 1003}};
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.dlu);
        EXPECT_EQ(DluToPixelsX(testCase.dlu, units), testCase.x);
        EXPECT_EQ(DluToPixelsY(testCase.dlu, units), testCase.y);
    }
    EXPECT_EQ(DluToPixels(DluRect{1, 3, 4, 8}, units), QRect(2, 6, 6, 17));
}

TEST(DialogUnitsTest, BaseUnitsComeFromTheLettersAndHeightOfTheFont) {
    const QFont font = TemplateFont(kTarnwickDlgTemplate);
    const DialogBaseUnits units = ComputeDialogBaseUnits(font);
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_LE(std::abs(units.width * 52 - letters), 26);
    EXPECT_EQ(units.height, metrics.height());
    // A Song face stands in for 宋体 with its metrics at 9 points: the templates' true proportions.
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("AR PL UMing CN"));
    EXPECT_EQ(units.width, 6);
    EXPECT_EQ(units.height, 12);
    // The template's font has a CJK face behind it, or its texts would draw as boxes.
    EXPECT_TRUE(QFontMetrics(font).inFontUcs4(U'读'));
}

class MainDialogLayoutTest : public ::testing::Test {
protected:
    test::CountingAgent m_agent;
    CTarnwickDlg m_dialog{m_agent, test::Skins()};
};

TEST_F(MainDialogLayoutTest, EveryControlSitsWhereTheTemplatePutsIt) {
    const DialogBaseUnits units = m_dialog.Controls().units;
    EXPECT_EQ(m_dialog.size(), DluToPixels(QSize(472, 315), units));
    EXPECT_EQ(m_dialog.size(), QSize(708, 473));  // 472.5 rounds up, as the dialog manager does
    const auto& widgets = m_dialog.Controls().widgets;
    ASSERT_EQ(widgets.size(), kTarnwickDlgTemplate.controls.size());
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = kTarnwickDlgTemplate.controls[i];
        QWidget& widget = *widgets[i];
        SCOPED_TRACE(::testing::Message() << "row " << i << ", control " << control.id);
        EXPECT_EQ(widget.parentWidget(), &m_dialog);
        EXPECT_EQ(widget.objectName(), QString::number(control.id));
        EXPECT_EQ(widget.property(kControlIdProperty).toInt(), control.id);
        EXPECT_TRUE(widget.isVisibleTo(&m_dialog));
        const QRect expected = DluToPixels(control.rect, units);
        if (control.kind == ControlKind::ComboBox) {
            EXPECT_EQ(widget.pos(), expected.topLeft());
            EXPECT_EQ(widget.width(), expected.width());
            EXPECT_LE(widget.height(), expected.height());
        } else {
            EXPECT_EQ(widget.geometry(), expected);
        }
    }
}

TEST_F(MainDialogLayoutTest, FieldsAndListsAreNamedByTheirLabels) {
    const std::map<int, QString> expected = {
        {kIdIpAddress, QStringLiteral("设备IP地址")},
        {kIdReadCommunity, QStringLiteral("只读共同体名")},
        {kIdTimeout, QStringLiteral("超时")},
        {kIdDeviceType, QStringLiteral("设备类型")},
        {kIdVlanList, QStringLiteral("VLAN列表")},
        {kIdInterfaceList, QStringLiteral("接口列表")},
        {kIdWriteCommunity, QStringLiteral("可写共同体名")},
        {kIdHomePageLink, QStringLiteral("主页:")},
        {kIdEmailLink, QStringLiteral("电邮:")},
    };
    for (const auto& [id, name] : expected) {
        SCOPED_TRACE(id);
        EXPECT_EQ(m_dialog.Controls().Find(id)->accessibleName(), name);
    }
}

TEST_F(MainDialogLayoutTest, TabVisitsTheTabStopsInTemplateOrder) {
    m_dialog.show();
    QApplication::setActiveWindow(&m_dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    const std::vector<int> expected = {
        kIdOk,           kIdCancel,   kIdIpAddress,     kIdReadCommunity,  kIdTimeout,
        kIdDeviceType,   kIdVlanList, kIdInterfaceList, kIdWriteCommunity, kIdWriteFlash,
        kIdBrowserPanel, kIdOk};
    std::vector<int> visited;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited.push_back(focus->property(kControlIdProperty).toInt());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(MainDialogLayoutTest, ListsLieAboveTheGroupBoxesThatFrameThem) {
    for (const int id : {kIdVlanList, kIdInterfaceList}) {
        QWidget* list = m_dialog.Controls().Find(id);
        QWidget* hit = m_dialog.childAt(list->geometry().center());
        ASSERT_NE(hit, nullptr);
        EXPECT_TRUE(hit == list || list->isAncestorOf(hit)) << id;
    }
}

TEST_F(MainDialogLayoutTest, StartsWithTheDefaultsEmptyListsAndFocusOnRead) {
    const DialogControls& controls = m_dialog.Controls();
    m_dialog.show();
    QApplication::setActiveWindow(&m_dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));

    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("ziTarnwick"));
    EXPECT_EQ(controls.Get<QLineEdit>(kIdIpAddress).text(), QStringLiteral("192.168.0.241"));
    EXPECT_EQ(controls.Get<QLineEdit>(kIdReadCommunity).text(), QStringLiteral("public"));
    EXPECT_EQ(controls.Get<QLineEdit>(kIdTimeout).text(), QStringLiteral("1000"));
    EXPECT_EQ(controls.Get<QLineEdit>(kIdWriteCommunity).text(), QStringLiteral("private"));

    const auto& deviceType = controls.Get<QComboBox>(kIdDeviceType);
    ASSERT_EQ(deviceType.count(), 2);
    EXPECT_EQ(deviceType.itemText(0), QStringLiteral("zi网络设备"));
    EXPECT_EQ(deviceType.itemText(1), QString());
    EXPECT_EQ(deviceType.currentIndex(), 0);
    EXPECT_FALSE(deviceType.isEditable());

    const struct {
        int id;
        std::vector<std::pair<QString, int>> columns;
        QAbstractItemView::SelectionMode selection;
    } lists[] = {
        {kIdVlanList,
         {{QStringLiteral("Vlan ID"), 125}, {QStringLiteral("Vlan 名称"), 125}},
         QAbstractItemView::SingleSelection},
        {kIdInterfaceList,
         {{QStringLiteral("Port ID"), 75},
          {QStringLiteral("Interface ID"), 125},
          {QStringLiteral("Interface 名称"), 125}},
         QAbstractItemView::ExtendedSelection},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.id);
        const auto& view = controls.Get<ReportListView>(list.id);
        EXPECT_EQ(view.model()->rowCount(), 0);
        ASSERT_EQ(view.model()->columnCount(), static_cast<int>(list.columns.size()));
        for (int column = 0; column < static_cast<int>(list.columns.size()); ++column) {
            const auto& [heading, width] = list.columns[static_cast<std::size_t>(column)];
            EXPECT_EQ(view.model()->headerData(column, Qt::Horizontal).toString(), heading);
            EXPECT_EQ(view.horizontalHeader()->sectionSize(column), width);
        }
        EXPECT_EQ(view.selectionMode(), list.selection);
        EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_TRUE(view.showGrid());
        EXPECT_FALSE(view.horizontalHeader()->sectionsClickable());
    }

    EXPECT_EQ(QApplication::focusWidget(), controls.Find(kIdOk));
    EXPECT_TRUE(controls.Get<QPushButton>(kIdOk).isDefault());
    for (const int flat : {kIdOk, kIdCancel, kIdWriteFlash}) {
        EXPECT_TRUE(controls.Get<QPushButton>(flat).isFlat()) << flat;
    }
    EXPECT_EQ(controls.Get<QPushButton>(kIdWriteFlash).text(), QStringLiteral("写入FLASH"));
}

TEST_F(MainDialogLayoutTest, IsAFixedCentredTopLevelWindowWithoutMinimiseOrMaximise) {
    m_dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dialog));
    const Qt::WindowFlags flags = m_dialog.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(m_dialog.minimumSize(), m_dialog.maximumSize());
    const QPoint screenCentre = m_dialog.screen()->availableGeometry().center();
    EXPECT_LE((m_dialog.frameGeometry().center() - screenCentre).manhattanLength(), 2);
    EXPECT_FALSE(m_dialog.windowIcon().isNull());
}

}  // namespace
}  // namespace tarnwick

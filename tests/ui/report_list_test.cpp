// The report lists: row placement as the list control has it, selection as the logic reads it.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog_ports_adapters.h"
#include "ui/framework/report_list.h"
#include "ui/framework/text_conversion.h"

namespace tarnwick {
namespace {

std::vector<std::string> Column0(const ReportList& list, int rows) {
    std::vector<std::string> texts;
    for (int row = 0; row < rows; ++row) {
        texts.push_back(list.ItemText(row, 0));
    }
    return texts;
}

class ReportListTest : public ::testing::Test {
protected:
    std::unique_ptr<ReportListView> MakeList(QAbstractItemView::SelectionMode selection) {
        auto view = std::make_unique<ReportListView>(selection, nullptr);
        static constexpr ReportColumn kColumns[] = {{"Port ID", 75}, {"Interface 名称", 125}};
        view->SetColumns(kColumns);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &view->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        return view;
    }

    void Select(ReportListView& view, std::initializer_list<int> rows) {
        for (const int row : rows) {
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

struct InsertCase {
    const char* name;
    std::vector<std::pair<int, std::string>> inserts;
    std::vector<std::string> expected;
};

TEST_F(ReportListTest, RowsStayWhereTheyWereInserted) {
    const std::vector<InsertCase> cases = {
        {"appending", {{0, "a"}, {1, "b"}, {2, "c"}}, {"a", "b", "c"}},
        {"at the front", {{0, "c"}, {0, "b"}, {0, "a"}}, {"a", "b", "c"}},
        {"in the middle", {{0, "a"}, {1, "c"}, {1, "b"}}, {"a", "b", "c"}},
        {"past the end appends", {{0, "a"}, {7, "b"}}, {"a", "b"}},
        {"before the start goes first", {{0, "b"}, {-1, "a"}}, {"a", "b"}},
    };
    for (const InsertCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto view = MakeList(QAbstractItemView::ExtendedSelection);
        ReportListAdapter list(*view);
        for (const auto& [row, text] : testCase.inserts) {
            list.InsertItem(row, text);
        }
        EXPECT_EQ(Column0(list, view->model()->rowCount()), testCase.expected);
    }
}

TEST_F(ReportListTest, CellsAreSetReadAndClearedByRowAndColumn) {
    auto view = MakeList(QAbstractItemView::ExtendedSelection);
    ReportListAdapter list(*view);
    list.InsertItem(0, "10");
    list.InsertItem(1, "11");
    list.SetItemText(1, 1, "GigabitEthernet0/0/11");
    list.SetItemText(5, 1, "no such row");
    list.SetItemText(0, 2, "no such column");

    EXPECT_EQ(list.ItemText(1, 1), "GigabitEthernet0/0/11");
    EXPECT_EQ(list.ItemText(0, 1), "");
    EXPECT_EQ(list.ItemText(5, 0), "");
    EXPECT_EQ(list.ItemText(0, -1), "");
    EXPECT_EQ(view->model()->rowCount(), 2);

    list.DeleteAllItems();
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(view->model()->columnCount(), 2);
    list.DeleteAllItems();
    EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(ReportListTest, SelectionIsCountedAndTheLowestRowIsFirst) {
    auto view = MakeList(QAbstractItemView::ExtendedSelection);
    ReportListAdapter list(*view);
    for (int row = 0; row < 6; ++row) {
        list.InsertItem(row, std::to_string(row));
    }
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(list.FirstSelectedRow(), -1);

    Select(*view, {4, 1, 3});
    EXPECT_EQ(list.SelectedCount(), 3);
    EXPECT_EQ(list.FirstSelectedRow(), 1);

    // The selection moves with its rows, as the list control's does.
    list.InsertItem(0, "new");
    EXPECT_EQ(list.FirstSelectedRow(), 2);
    EXPECT_EQ(list.ItemText(list.FirstSelectedRow(), 0), "1");

    list.DeleteAllItems();
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(list.FirstSelectedRow(), -1);
}

TEST_F(ReportListTest, SingleSelectionListKeepsOneRow) {
    auto view = MakeList(QAbstractItemView::SingleSelection);
    ReportListAdapter list(*view);
    list.InsertItem(0, "1");
    list.InsertItem(1, "10");
    view->selectRow(0);
    view->selectRow(1);
    EXPECT_EQ(list.SelectedCount(), 1);
    EXPECT_EQ(list.FirstSelectedRow(), 1);
}

TEST_F(ReportListTest, ListsAreNeitherSortedNorEdited) {
    auto view = MakeList(QAbstractItemView::ExtendedSelection);
    ReportListAdapter list(*view);
    list.InsertItem(0, "b");
    list.InsertItem(1, "a");
    view->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Column0(list, 2), (std::vector<std::string>{"b", "a"}));
    const QModelIndex cell = view->model()->index(0, 0);
    EXPECT_FALSE(view->model()->flags(cell).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(view->model()->setData(cell, QStringLiteral("x")));
}

TEST(TextConversionTest, SwitchTextsDecodeAsUtf8OrElseGb18030) {
    const struct {
        const char* name;
        std::string bytes;
        QString expected;
    } cases[] = {
        {"ascii", "GigabitEthernet0/0/1", QStringLiteral("GigabitEthernet0/0/1")},
        {"utf-8", "Vlan 名称", QStringLiteral("Vlan 名称")},
        {"gb2312 bytes", "\xB0\xEC\xB9\xAB", QStringLiteral("办公")},
        {"gb18030 four-byte codes", "\x81\x30\x84\x32\x90\x30\x81\x30",
         QString::fromUcs4(U"\u00A0\U00010000", 2)},
        {"empty", "", QString()},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(DisplayText(testCase.bytes), testCase.expected);
    }
    EXPECT_EQ(LogicText(QStringLiteral("设备IP地址")), "设备IP地址");
}

}  // namespace
}  // namespace tarnwick

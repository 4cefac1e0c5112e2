// Report lists as the Windows list control shows them.
#include "ui/framework/report_list.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <algorithm>

#include "ui/framework/text_conversion.h"

namespace tarnwick {
namespace {

constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignVCenter;

}  // namespace

ReportModel::ReportModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportModel::SetHeadings(const QStringList& headings) {
    beginResetModel();
    m_headings = headings;
    m_rows.clear();
    endResetModel();
}

int ReportModel::InsertRow(int row, const QString& text) {
    const int count = rowCount();
    const int at = std::clamp(row, 0, count);
    beginInsertRows(QModelIndex(), at, at);
    std::vector<QString> cells(static_cast<std::size_t>(m_headings.size()));
    if (!cells.empty()) {
        cells.front() = text;
    }
    m_rows.insert(m_rows.begin() + at, std::move(cells));
    endInsertRows();
    return at;
}

void ReportModel::SetText(int row, int column, const QString& text) {
    if (!IsCell(row, column)) {
        return;
    }
    QString& cell = m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (cell == text) {
        return;
    }
    cell = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QString ReportModel::Text(int row, int column) const {
    if (!IsCell(row, column)) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ReportModel::Clear() {
    if (m_rows.empty()) {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    m_rows.clear();
    endRemoveRows();
}

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(kCellAlignment);
        default:
            return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return m_headings[section];
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(kCellAlignment);
        default:
            return {};
    }
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool ReportModel::IsCell(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

ReportListView::ReportListView(QAbstractItemView::SelectionMode selection, QWidget* parent)
    : QTableView(parent), m_model(new ReportModel(this)) {
    setModel(m_model);
    setSelectionMode(selection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(kCellAlignment);
    // A skin that styles the header's sections would give it the application's font otherwise.
    header->setFont(font());
}

void ReportListView::SetColumns(std::span<const ReportColumn> columns) {
    QStringList headings;
    for (const ReportColumn& column : columns) {
        headings.append(Utf8Text(column.heading));
    }
    m_model->SetHeadings(headings);
    for (int section = 0; section < static_cast<int>(columns.size()); ++section) {
        horizontalHeader()->resizeSection(section,
                                          columns[static_cast<std::size_t>(section)].width);
    }
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit listDoubleClicked();
    }
}

int ReportListView::SelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

int ReportListView::FirstSelectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return -1;
    }
    const auto lowest = std::min_element(
        selected.cbegin(), selected.cend(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return lowest->row();
}

}  // namespace tarnwick

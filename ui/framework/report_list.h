// Report lists as the Windows list control shows them: fixed columns, rows that stay where they
// were inserted, no sorting or editing.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <span>
#include <vector>

namespace tarnwick {

struct ReportColumn {
    const char* heading;  // UTF-8
    int width;            // pixels
};

// Rows of texts, one per column. Every change signals its exact row range.
class ReportModel final : public QAbstractTableModel {
public:
    explicit ReportModel(QObject* parent = nullptr);

    void SetHeadings(const QStringList& headings);
    // Clamped to the rows there are, as the list control appends past its end.
    int InsertRow(int row, const QString& text);
    void SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool IsCell(int row, int column) const;

    QStringList m_headings;
    std::vector<std::vector<QString>> m_rows;
};

// A report-view list: grid lines, full-row selection, left-aligned fixed-width columns, header
// clicks ignored, Tab leaves the list. A double-click anywhere in it, on a row or not, is
// announced by listDoubleClicked().
class ReportListView final : public QTableView {
    Q_OBJECT
public:
    ReportListView(QAbstractItemView::SelectionMode selection, QWidget* parent);

    void SetColumns(std::span<const ReportColumn> columns);
    int SelectedCount() const;
    // The lowest selected row, whatever order the rows were selected in; -1 when none is.
    int FirstSelectedRow() const;
    ReportModel& Model() { return *m_model; }
    const ReportModel& Model() const { return *m_model; }

signals:
    void listDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ReportModel* m_model;  // owned by this view as its QObject child
};

}  // namespace tarnwick

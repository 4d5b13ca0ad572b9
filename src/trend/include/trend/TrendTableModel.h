#pragma once

#include "analysis/StrokeSummary.h"
#include "analysis/SummaryTable.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// Which strokes the table shows: those whose job contains the text (letter
// case ignored) and, unless mode is empty, whose mode is mode.
struct TrendFilter
{
    QString job;
    std::string mode;
};

// The strokes of a trend as a table, one row per stroke, the columns of the
// summary file. It keeps every stroke read, in the order they came, and the
// rows it shows: the strokes the filter lets through, in the order of the
// sort column. A sort works on one key per stroke worked out once per column,
// so a hundred thousand rows sort in a few milliseconds; strokes that arrive
// while a sort is in force are merged into place.
class TrendTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TrendTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // column -1: the order the strokes came in.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Every stroke read, in the order they came.
    const std::vector<StrokeSummary>& strokes() const { return m_strokes; }
    // The strokes the filter lets through, in the order they came.
    const std::vector<std::size_t>& filtered() const { return m_filtered; }
    // The stroke shown at row, by its index in strokes().
    std::size_t strokeOfRow(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The row showing a stroke; -1 when the filter hides it.
    int rowOfStroke(std::size_t stroke) const;

    // Room for this many strokes in all, when a scan knows how many files it
    // reads: a hundred thousand strokes then take no more memory than they need.
    void reserve(std::size_t strokes);
    // Adds strokes after those there are; returns the indices of those the
    // filter lets through, a tail of filtered().
    std::span<const std::size_t> append(std::vector<StrokeSummary> strokes);
    void clear();
    void setFilter(TrendFilter filter);
    const TrendFilter& filter() const { return m_filter; }
    // The modes of the strokes read, each once, sorted.
    const std::vector<std::string>& modes() const { return m_modes; }

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

private:
    bool accepts(const StrokeSummary& stroke) const;
    // Makes the keys of the sort column for strokes [from, end).
    void addKeys(std::size_t from);
    bool before(std::size_t a, std::size_t b) const;
    // Shows rows in a new order, the selection and current row kept on their strokes.
    void reorder(std::vector<std::size_t> rows);
    void indexRows();

    const std::vector<SummaryColumn>& m_columns;
    std::vector<StrokeSummary> m_strokes;
    std::vector<std::size_t> m_filtered;
    std::vector<std::size_t> m_rows;
    std::vector<int> m_rowOf; // by stroke; -1 when not shown
    TrendFilter m_filter;
    std::vector<std::string> m_modes; // sorted, each once

    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // One key per stroke for the sort column: numbers or texts, as the column is.
    std::vector<double> m_numberKeys;
    std::vector<std::string> m_textKeys;
};

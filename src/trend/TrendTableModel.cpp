#include "trend/TrendTableModel.h"

#include "qtcore/LocalPath.h"
#include "signature/NumberFormat.h"

#include <QColor>

#include <algorithm>
#include <cmath>

namespace {

using Field = SummaryColumn::Field;

// Counts and settings the instrument stores as whole numbers read as such;
// every other number is a load, a share or an angle, shown to one decimal.
bool isWholeNumber(Field field)
{
    switch (field) {
    case Field::StrokesPerMinute:
    case Field::StrokeCount:
    case Field::Target:
    case Field::PlusTol:
    case Field::MinusTol:
    case Field::Capacity:
        return true;
    default:
        return false;
    }
}

QString cellText(const StrokeSummary& stroke, const SummaryColumn& column)
{
    if (column.field == Field::File)
        return fromPath(stroke.path);
    if (!column.numeric)
        return QString::fromLatin1(columnText(stroke, column)); // the record's texts are single bytes
    if (column.field == Field::Timestamp || isWholeNumber(column.field))
        return QString::fromLatin1(columnText(stroke, column));
    const double value = columnNumber(stroke, column);
    return std::isfinite(value) ? QString::fromStdString(numfmt::fixed1Text(value, numfmt::Fixed1Style::Report))
                                : QString();
}

QVariant statusBackground(LimitStatus status)
{
    switch (status) {
    case LimitStatus::High:
    case LimitStatus::Low:
        return QColor(255, 204, 204);
    case LimitStatus::Ok:
        return QColor(206, 240, 206);
    default:
        return {};
    }
}

} // namespace

TrendTableModel::TrendTableModel(QObject* parent) : QAbstractTableModel(parent), m_columns(summaryColumns()) {}

int TrendTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TrendTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TrendTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const SummaryColumn& column = m_columns[static_cast<std::size_t>(index.column())];
    const StrokeSummary& stroke = m_strokes[strokeOfRow(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(stroke, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (column.numeric ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::BackgroundRole:
        if (column.field == Field::Status && column.channel >= 0)
            return statusBackground(stroke.channels[static_cast<std::size_t>(column.channel)].status);
        return {};
    default:
        return {};
    }
}

QVariant TrendTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return QString::fromStdString(m_columns[static_cast<std::size_t>(section)].name);
    return QAbstractTableModel::headerData(section, orientation, role);
}

int TrendTableModel::rowOfStroke(std::size_t stroke) const
{
    return stroke < m_rowOf.size() ? m_rowOf[stroke] : -1;
}

bool TrendTableModel::accepts(const StrokeSummary& stroke) const
{
    if (!m_filter.mode.empty() && stroke.mode != m_filter.mode)
        return false;
    return m_filter.job.isEmpty() || QString::fromLatin1(stroke.job).contains(m_filter.job, Qt::CaseInsensitive);
}

void TrendTableModel::addKeys(std::size_t from)
{
    if (m_sortColumn < 0)
        return;
    const SummaryColumn& column = m_columns[static_cast<std::size_t>(m_sortColumn)];
    if (column.numeric) {
        m_numberKeys.resize(from);
        for (std::size_t i = from; i < m_strokes.size(); ++i)
            m_numberKeys.push_back(columnNumber(m_strokes[i], column));
    } else {
        m_textKeys.resize(from);
        for (std::size_t i = from; i < m_strokes.size(); ++i)
            m_textKeys.push_back(columnText(m_strokes[i], column));
    }
}

bool TrendTableModel::before(std::size_t a, std::size_t b) const
{
    // Empty cells go last whichever way the column is sorted: the values are
    // what a sort is asked for.
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_columns[static_cast<std::size_t>(m_sortColumn)].numeric) {
        const double x = m_numberKeys[a];
        const double y = m_numberKeys[b];
        if (std::isnan(x) || std::isnan(y))
            return !std::isnan(x) && std::isnan(y);
        return descending ? y < x : x < y;
    }
    const std::string& x = m_textKeys[a];
    const std::string& y = m_textKeys[b];
    if (x.empty() || y.empty())
        return !x.empty() && y.empty();
    const int c = x.compare(y);
    return descending ? c > 0 : c < 0;
}

void TrendTableModel::indexRows()
{
    m_rowOf.assign(m_strokes.size(), -1);
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        m_rowOf[m_rows[r]] = static_cast<int>(r);
}

void TrendTableModel::reorder(std::vector<std::size_t> rows)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<std::size_t> strokeOf;
    strokeOf.reserve(static_cast<std::size_t>(from.size()));
    for (const QModelIndex& index : from)
        strokeOf.push_back(m_rows[static_cast<std::size_t>(index.row())]);
    m_rows = std::move(rows);
    indexRows();
    QModelIndexList to;
    to.reserve(from.size());
    for (qsizetype i = 0; i < from.size(); ++i)
        to.append(index(m_rowOf[strokeOf[static_cast<std::size_t>(i)]], from[i].column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TrendTableModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < columnCount() ? column : -1;
    m_sortOrder = order;
    m_numberKeys.clear();
    m_textKeys.clear();
    addKeys(0);
    std::vector<std::size_t> rows = m_filtered;
    if (m_sortColumn >= 0)
        std::stable_sort(rows.begin(), rows.end(), [this](std::size_t a, std::size_t b) { return before(a, b); });
    reorder(std::move(rows));
}

void TrendTableModel::reserve(std::size_t strokes)
{
    m_strokes.reserve(strokes);
    m_rowOf.reserve(strokes);
}

std::span<const std::size_t> TrendTableModel::append(std::vector<StrokeSummary> strokes)
{
    const std::size_t first = m_strokes.size();
    for (StrokeSummary& stroke : strokes) {
        const auto mode = std::lower_bound(m_modes.begin(), m_modes.end(), stroke.mode);
        if (mode == m_modes.end() || *mode != stroke.mode)
            m_modes.insert(mode, stroke.mode);
        m_strokes.push_back(std::move(stroke));
    }
    m_rowOf.resize(m_strokes.size(), -1);
    addKeys(first);

    const std::size_t firstFiltered = m_filtered.size();
    for (std::size_t i = first; i < m_strokes.size(); ++i)
        if (accepts(m_strokes[i]))
            m_filtered.push_back(i);
    const std::span<const std::size_t> added = std::span(m_filtered).subspan(firstFiltered);
    if (added.empty())
        return added;

    // The new rows come in at the end first, then move to their places.
    const std::size_t shown = m_rows.size();
    beginInsertRows({}, static_cast<int>(shown), static_cast<int>(shown + added.size() - 1));
    m_rows.insert(m_rows.end(), added.begin(), added.end());
    for (std::size_t r = shown; r < m_rows.size(); ++r)
        m_rowOf[m_rows[r]] = static_cast<int>(r);
    endInsertRows();
    if (m_sortColumn >= 0) {
        const auto less = [this](std::size_t a, std::size_t b) { return before(a, b); };
        std::vector<std::size_t> tail(added.begin(), added.end());
        std::stable_sort(tail.begin(), tail.end(), less);
        std::vector<std::size_t> rows;
        rows.reserve(m_rows.size());
        std::merge(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(shown), tail.begin(), tail.end(),
                   std::back_inserter(rows), less);
        reorder(std::move(rows));
    }
    return added;
}

void TrendTableModel::clear()
{
    beginResetModel();
    m_strokes.clear();
    m_filtered.clear();
    m_rows.clear();
    m_rowOf.clear();
    m_modes.clear();
    m_numberKeys.clear();
    m_textKeys.clear();
    endResetModel();
}

void TrendTableModel::setFilter(TrendFilter filter)
{
    beginResetModel();
    m_filter = std::move(filter);
    m_filtered.clear();
    for (std::size_t i = 0; i < m_strokes.size(); ++i)
        if (accepts(m_strokes[i]))
            m_filtered.push_back(i);
    m_rows = m_filtered;
    if (m_sortColumn >= 0)
        std::stable_sort(m_rows.begin(), m_rows.end(), [this](std::size_t a, std::size_t b) { return before(a, b); });
    indexRows();
    endResetModel();
}

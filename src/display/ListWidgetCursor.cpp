#include "display/ListWidgetCursor.h"

#include "qtcore/LocalPath.h"

#include <QListWidget>

int ListWidgetCursor::count() const
{
    return m_list.count();
}

int ListWidgetCursor::current() const
{
    return m_list.currentRow();
}

void ListWidgetCursor::setCurrent(int index)
{
    m_list.setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

std::string ListWidgetCursor::text(int index) const
{
    return toPath(m_list.item(index)->text());
}

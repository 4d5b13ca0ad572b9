#pragma once

#include "display/FileListCursor.h"

class QListWidget;

// A list widget of file paths as the display steps through it.
class ListWidgetCursor : public FileListCursor
{
public:
    explicit ListWidgetCursor(QListWidget& list) : m_list(list) {}

    int count() const override;
    int current() const override;
    void setCurrent(int index) override;
    std::string text(int index) const override;

private:
    QListWidget& m_list;
};
